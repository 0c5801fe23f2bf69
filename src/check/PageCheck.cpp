#include "check/PageCheck.h"

#include "check/RedirectTarget.h"
#include "net/AddressLogin.h"
#include "net/PageFetch.h"
#include "net/Probe.h"
#include "net/TlsWarmUp.h"
#include "net/UrlParser.h"
#include "pages/ConditionCheck.h"

#include <climits>

namespace {

bool isPlainHttp(const QString& url) {
    return !url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive);
}

} // namespace

PageCheck::PageCheck(HostLookups& lookups, TlsTickets& tickets, QObject* parent)
    : QObject(parent), lookups_(lookups), tickets_(tickets), fetch_(new PageFetch(lookups, tickets, this)) {
    connect(fetch_, &PageFetch::finished, this, &PageCheck::fetched);
    connect(fetch_, &PageFetch::bodyReceived, this, &PageCheck::takeBody);
    // A time-out is the user's promise of when an outage is told: it ends on time, not at the
    // next tick of a clock that counts seconds.
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    connect(&deadline_, &QTimer::timeout, this, [this] { stop(true); });
}

PageCheck::~PageCheck() = default;

void PageCheck::useProbe(const QString& url) {
    const QString scheme = url.section(QLatin1Char(':'), 0, 0).toLower();
    if (probe_ && scheme == probeScheme_)
        return;
    probe_ = Probe::make(url, lookups_, tickets_);
    probeScheme_ = scheme;
    if (probe_)
        connect(probe_.get(), &Probe::finished, this, &PageCheck::probed);
}

void PageCheck::probed() {
    result_ = probe_->result();
    body_ = probe_->reply();
    end(result_.errorText);
}

void PageCheck::start(const FetchRequest& request, const PageOptions& options, qint64 deadlineMs) {
    request_ = request;
    deadlineMs_ = deadlineMs;
    options_ = options;
    accepted_ = StatusCodeList::parse(options.acceptedCodes).value_or(StatusCodeList());
    currentUrl_ = request.url;
    listedServer_ = UrlParser::server(request.url);
    const AddressLogin login = splitLogin(request.url);
    request_.headerInfo.UserId = options.user.isEmpty() ? login.user : options.user;
    request_.headerInfo.Password = options.password.isEmpty() ? login.password : options.password;
    request_.extraHeaders = HeaderLines::parse(options.headers);
    request_.readBody = options.contentCheck() || ConditionCheck::readsBody(options.conditions);
    probing_ = Probe::handles(request.url);
    if (probing_) {
        useProbe(request.url);
        request_.send = options.send.toUtf8();
        request_.readBody = !options.expect.isEmpty() || !options.conditions.isEmpty();
    }
    result_ = {};
    errorText_.clear();
    redirects_ = 0;
    timedOut_ = false;
    running_ = true;
    clock_.invalidate();
    // Loading TLS the first time is this program's cost, not the server's: the page's time
    // starts once it is done.
    if (isPlainHttp(request.url))
        return begin();
    const quint64 attempt = ++attempts_;
    TlsWarmUp::whenReady(this, [this, attempt] {
        if (attempt == attempts_ && running_)
            begin();
    });
}

void PageCheck::begin() {
    clock_.start();
    // A deadline beyond a timer's reach is as good as none.
    if (deadlineMs_ <= INT_MAX)
        deadline_.start(int(deadlineMs_));
    if (probing_) {
        if (!probe_)
            return end(QStringLiteral("no check for this kind of address"));
        body_.clear();
        return probe_->start(request_);
    }
    const bool login = !request_.headerInfo.UserId.isEmpty() && !request_.headerInfo.Password.isEmpty();
    if (login && !loginAllowed(currentUrl_))
        return end(QStringLiteral("login not sent over plain http"));
    send(false);
}

bool PageCheck::loginAllowed(const QString& url) const {
    return UrlParser::server(url) == listedServer_ && (options_.plainLogin || !isPlainHttp(url));
}

bool PageCheck::headersAllowed(const QString& from, const QString& to) const {
    return UrlParser::server(to) == listedServer_ && (isPlainHttp(from) || !isPlainHttp(to));
}

void PageCheck::send(bool headerByGet) {
    request_.url = currentUrl_;
    request_.headerByGet = headerByGet || options_.get || request_.readBody;
    body_.clear();
    bodyCut_ = false;
    fetch_->start(request_);
}

void PageCheck::takeBody(const QByteArray& bytes) {
    const qsizetype room = BodyLimit - body_.size();
    body_ += bytes.left(room);
    // A body of just the limit is whole: only a byte past it shows that there is more.
    if (bytes.size() <= room)
        return;
    // The rest is never read: the search makes do with what came.
    bodyCut_ = true;
    fetch_->stop();
    fetched();
}

void PageCheck::stop(bool timedOut) {
    if (!running_)
        return;
    ++attempts_;
    // What the server said before the check ended still counts: a header in full, and the body
    // that stalled after it. A check still waiting for TLS has asked nothing yet.
    if (probing_ && probe_) {
        if (clock_.isValid())
            result_ = probe_->result();
        probe_->stop();
    } else {
        if (clock_.isValid())
            result_ = fetch_->result();
        fetch_->stop();
    }
    timedOut_ = timedOut;
    end(timedOut ? QStringLiteral("Timed out") : QStringLiteral("Check aborted"));
}

bool PageCheck::followed(int reply) const {
    return reply >= 300 && reply <= 399 && !accepted_.names(reply);
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
    if (followed(reply)) {
        // Without an address to go to, the page ends with this reply.
        if (const std::optional<QString> target = RedirectTarget::fromHeader(result_.header, currentUrl_)) {
            if (++redirects_ > MaxRedirects)
                return end(QStringLiteral("too many redirects"));
            // The server's cookie goes along the chain, and no further.
            if (!result_.cookieIn.isEmpty())
                request_.headerInfo.Cookie = result_.cookieIn;
            if (!headersAllowed(currentUrl_, *target))
                request_.extraHeaders.clear();
            currentUrl_ = *target;
            if (!loginAllowed(currentUrl_))
                request_.headerInfo.Password.clear();
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
    deadline_.stop();
    errorText_ = errorText;
    elapsedMs_ = clock_.isValid() ? clock_.elapsed() : 0;
    running_ = false;
    emit finished();
}
