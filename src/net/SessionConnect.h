#pragma once

#include "net/Connector.h"
#include "net/TlsClient.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <functional>

class TPowersock;

// How a TPowersock gets its connection: the name lookup, the connect through the Connector and
// the TLS handshake, each waited for with the event loop running and bounded by the session's
// TimeOut. What they find goes into the session's fields; a failure raises its text.
class SessionConnect : public QObject {
    Q_OBJECT
public:
    explicit SessionConnect(TPowersock& session);
    ~SessionConnect() override;

    void resolveHost();
    void connectSession();
    void startTls();
    // Drops the connection being made, without a signal.
    void stop() { connector_->stop(); }
    void keepTicket(const QSslSocket& socket) { connector_->keepTicket(socket); }
    void abortLookup();

private:
    ConnectTarget target() const;
    // Waits for the connection that begin has the connector make, within TimeOut; false when
    // it failed, timed out or was canceled.
    bool awaitConnector(const std::function<void()>& begin);
    void onConnectorConnected();
    void onConnectorFailed();
    void onLookupDone(int lookupId, const QList<QHostAddress>& addresses);

    TPowersock& s_;
    TlsTickets tickets_;
    Connector* connector_ = nullptr;
    static constexpr int LookupStarting = -2;
    int lookupId_ = -1;
    QList<QHostAddress> addresses_; // of the last lookup, IPv4 first
    QString failureText_;           // what the last failed connect raises
    QString failureSocketText_;     // the socket's own words on why it failed
    bool connectFailed_ = false;
};
