#include "check/PageCheck.h"

#include "check/RedirectTarget.h"
#include "net/PageFetch.h"
#include "net/TlsWarmUp.h"

PageCheck::PageCheck(HostLookups& lookups, TlsTickets& tickets, QObject* parent)
    : QObject(parent), fetch_(new PageFetch(lookups, tickets, this)) {
    connect(fetch_, &PageFetch::finished, this, &PageCheck::fetched);
}

void PageCheck::start(const FetchRequest& request) {
    request_ = request;
    currentUrl_ = request.url;
    result_ = {};
    errorText_.clear();
    redirects_ = 0;
    timedOut_ = false;
    running_ = true;
    clock_.invalidate();
    // Loading TLS the first time is this program's cost, not the server's: the page's time
    // starts once it is done.
    if (!request.url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive))
        return begin();
    const quint64 attempt = ++attempts_;
    TlsWarmUp::whenReady(this, [this, attempt] {
        if (attempt == attempts_ && running_)
            begin();
    });
}

void PageCheck::begin() {
    clock_.start();
    send(false);
}

void PageCheck::send(bool headerByGet) {
    request_.url = currentUrl_;
    request_.headerByGet = headerByGet;
    fetch_->start(request_);
}

void PageCheck::stop(bool timedOut) {
    if (!running_)
        return;
    ++attempts_;
    fetch_->stop();
    timedOut_ = timedOut;
    end(timedOut ? QStringLiteral("Timed out") : QStringLiteral("Check aborted"));
}

void PageCheck::fetched() {
    result_ = fetch_->result();
    if (!result_.answered())
        return end(result_.errorText);
    const int reply = result_.replyNumber;
    // Some servers refuse HEAD although they serve the page: its header then comes from a GET,
    // of which nothing but the header is read.
    if (!request_.headerByGet && (reply == 405 || reply == 501))
        return send(true);
    if (reply >= 300 && reply <= 399) {
        // Without an address to go to, the page ends with this reply.
        if (const std::optional<QString> target = RedirectTarget::fromHeader(result_.header, currentUrl_)) {
            if (++redirects_ > MaxRedirects)
                return end(QStringLiteral("too many redirects"));
            // The server's cookie goes along the chain, and no further.
            if (!result_.cookieIn.isEmpty())
                request_.headerInfo.Cookie = result_.cookieIn;
            currentUrl_ = *target;
            return send(false);
        }
    }
    end({});
}

qint64 PageCheck::elapsedMs() const {
    if (running_)
        return clock_.isValid() ? clock_.elapsed() : 0;
    return elapsedMs_;
}

void PageCheck::end(const QString& errorText) {
    errorText_ = errorText;
    elapsedMs_ = clock_.isValid() ? clock_.elapsed() : 0;
    running_ = false;
    emit finished();
}
