#pragma once

#include <QObject>
#include <QString>
#include <memory>

class NetworkState;
class QTimer;
class TNMHTTP;
struct FetchRequest;

// Whether the network itself is down, asked when a page of the cycle fails: the platform says
// the machine is offline, or the address the user trusts to answer does not. It is asked once a
// cycle; the answer holds until the next cycle starts.
class NetworkCheck : public QObject {
    Q_OBJECT
public:
    explicit NetworkCheck(QObject* parent = nullptr);
    ~NetworkCheck() override;

    // Replaces the platform's word on the network, which nobody can drive from outside.
    void useState(std::unique_ptr<NetworkState> state);

    // The platform says the machine has no network at all.
    bool offline();
    void startCycle();
    bool asked() const { return asked_; }
    bool down() const { return !downBecause_.isEmpty(); }
    // Asks with the proxy and certificate settings of the pages' requests, and their time-out.
    // Returns why the network is down ("offline" or the check address), or nothing when it is
    // up. An empty address asks the platform only.
    QString ask(const QString& address, const FetchRequest& settings, int timeOutMs);
    // The user ends the cycle.
    void abort();

private:
    bool answers(const QString& address, const FetchRequest& settings, int timeOutMs);

    std::unique_ptr<NetworkState> state_;
    // Its own client: the page's keeps the failed answer that the page's alarm mail quotes.
    TNMHTTP* http_;
    QTimer* watchdog_;
    bool userAborted_ = false;
    bool asked_ = false;
    QString downBecause_;
};
