#include "check/NetworkCheck.h"

#include "net/FetchRequest.h"
#include "net/PlatformNetworkState.h"
#include "net/TNMHTTP.h"

#include <QTimer>

NetworkCheck::NetworkCheck(QObject* parent)
    : QObject(parent), state_(std::make_unique<PlatformNetworkState>()), http_(new TNMHTTP(this)),
      watchdog_(new QTimer(this)) {
    http_->ReportLevel = 0;
    watchdog_->setSingleShot(true);
    connect(watchdog_, &QTimer::timeout, http_, &TNMHTTP::Abort);
}

NetworkCheck::~NetworkCheck() = default;

void NetworkCheck::useState(std::unique_ptr<NetworkState> state) {
    state_ = std::move(state);
}

bool NetworkCheck::offline() {
    return state_->offline();
}

void NetworkCheck::startCycle() {
    asked_ = false;
    downBecause_.clear();
}

QString NetworkCheck::ask(const QString& address, const FetchRequest& settings, int timeOutMs) {
    asked_ = true;
    if (offline())
        downBecause_ = QStringLiteral("offline");
    else if (!address.isEmpty() && !answers(address, settings, timeOutMs))
        downBecause_ = address;
    return downBecause_;
}

bool NetworkCheck::answers(const QString& address, const FetchRequest& settings, int timeOutMs) {
    http_->TimeOut = timeOutMs;
    http_->Proxy = settings.proxy;
    http_->ProxyPort = settings.proxyPort;
    http_->AcceptUntrusted = settings.acceptUntrusted;
    http_->HeaderInfo.LocalProgram = settings.headerInfo.LocalProgram;
    // The client's own time-out ends the lookup and the connect only; a server that takes the
    // connection and never answers is cut off by the watchdog.
    watchdog_->start(timeOutMs);
    http_->Canceled = false; // an abort of the last cycle is over
    userAborted_ = false;
    try {
        http_->Head(address);
    } catch (...) {
        watchdog_->stop();
        // A check the user aborted says nothing about the network: the page's alarms stand.
        return userAborted_;
    }
    watchdog_->stop();
    // Any answer short of an error means the way out is open, a redirect included.
    return http_->ReplyNumber > 0 && http_->ReplyNumber < 400;
}

void NetworkCheck::abort() {
    userAborted_ = true;
    http_->Abort();
}
