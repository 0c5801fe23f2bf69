#pragma once

#include "net/TlsClient.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class HostLookups;
class NetworkState;
class PageFetch;
class QTimer;
struct FetchRequest;

// Whether the network itself is down, asked when a page of the cycle fails: the platform says
// the machine is offline, or the address the user trusts to answer does not. It is asked once a
// cycle; the answer holds until the next cycle starts. Nothing here waits: the answer comes on
// the event loop.
class NetworkCheck : public QObject {
    Q_OBJECT
public:
    // Why the network is down ("offline" or the check address), or nothing when it is up.
    using Answered = std::function<void(const QString& downBecause)>;

    explicit NetworkCheck(QObject* parent = nullptr);
    ~NetworkCheck() override;

    // Replaces the platform's word on the network, which nobody can drive from outside.
    void useState(std::unique_ptr<NetworkState> state);

    // The platform says the machine has no network at all.
    bool offline();
    void startCycle();
    bool asked() const { return asked_; }
    bool down() const { return !downBecause_.isEmpty(); }
    // Why this cycle found the network down ("offline" or the check address); empty when up.
    const QString& downBecause() const { return downBecause_; }
    // Asks with the proxy and certificate settings of the pages' requests, within their time-out.
    // An empty address asks the platform only. answered follows once, from the event loop.
    void ask(const QString& address, const FetchRequest& settings, int timeOutMs, Answered answered);
    // The user ends the cycle: a question under way is answered "up" at once, so the page's
    // alarms stand.
    void abort();

private:
    void answer(const QString& downBecause);

    std::unique_ptr<NetworkState> state_;
    std::unique_ptr<HostLookups> lookups_;
    TlsTickets tickets_;
    // Its own request: the page's keeps the failed answer that the page's alarm mail quotes.
    PageFetch* fetch_;
    QTimer* watchdog_;
    QString address_;
    Answered answered_;
    bool asked_ = false;
    QString downBecause_;
};
