#include "check/NetworkCheck.h"

#include "net/FetchRequest.h"
#include "net/HostLookups.h"
#include "net/PageFetch.h"
#include "net/PlatformNetworkState.h"

#include <QTimer>

NetworkCheck::NetworkCheck(QObject* parent)
    : QObject(parent), state_(std::make_unique<PlatformNetworkState>()),
      lookups_(std::make_unique<HostLookups>()), fetch_(new PageFetch(*lookups_, tickets_, this)),
      watchdog_(new QTimer(this)) {
    watchdog_->setSingleShot(true);
    // A server that takes the connection and never answers is as good as none.
    connect(watchdog_, &QTimer::timeout, this, [this] {
        fetch_->stop();
        answer(address_);
    });
    connect(fetch_, &PageFetch::finished, this, [this] {
        watchdog_->stop();
        // Any answer short of an error means the way out is open, a redirect included.
        const FetchResult& result = fetch_->result();
        const bool up = result.answered() && result.replyNumber > 0 && result.replyNumber < 400;
        answer(up ? QString() : address_);
    });
}

NetworkCheck::~NetworkCheck() {
    // Before the lookups and tickets it uses go.
    delete fetch_;
}

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

void NetworkCheck::ask(const QString& address, const FetchRequest& settings, int timeOutMs,
                       Answered answered) {
    asked_ = true;
    answered_ = std::move(answered);
    address_ = address;
    if (offline() || address.isEmpty()) {
        const QString why = offline() ? QStringLiteral("offline") : QString();
        return void(QMetaObject::invokeMethod(
            this, [this, why] { answer(why); }, Qt::QueuedConnection));
    }
    FetchRequest request = settings;
    request.url = address;
    request.headerByGet = false;
    request.readBody = false;
    lookups_->forget();
    fetch_->start(request);
    watchdog_->start(timeOutMs);
}

void NetworkCheck::abort() {
    watchdog_->stop();
    fetch_->stop();
    answer({});
}

void NetworkCheck::answer(const QString& downBecause) {
    downBecause_ = downBecause;
    if (Answered answered = std::exchange(answered_, nullptr))
        answered(downBecause);
}
