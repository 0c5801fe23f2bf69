#include "net/TNMHTTP.h"

#include "net/EAbortError.h"
#include "net/ESockError.h"
#include "net/EventWait.h"
#include "net/FileError.h"
#include "net/PageFetch.h"
#include "net/UrlParser.h"
#include "net/WireAddress.h"

#include <QScopeGuard>

TNMHTTP::TNMHTTP(QObject* parent) : TPowersock(parent), fetch_(new PageFetch(lookups_, tickets_, this)) {
    connect(fetch_, &PageFetch::requested, this, [this] { guarded([this] { onRequested(); }); });
    connect(fetch_, &PageFetch::headerReceived, this, [this] { guarded([this] { onHeader(); }); });
    connect(fetch_, &PageFetch::bodyReceived, this,
            [this](const QByteArray& bytes) { guarded([&] { onBody(bytes); }); });
    connect(fetch_, &PageFetch::finished, this, [this] { stage_ = Stage::Done; });
}

TNMHTTP::~TNMHTTP() {
    // Before the lookups and tickets it uses go.
    delete fetch_;
}

void TNMHTTP::Head(const QString& url) {
    URL = url;
    RequestKind = KindHead;
    headerOnly_ = false;
    RunRequest();
}

void TNMHTTP::Get(const QString& url) {
    URL = url;
    RequestKind = KindGet;
    headerOnly_ = false;
    RunRequest();
}

void TNMHTTP::GetHeader(const QString& url) {
    URL = url;
    RequestKind = KindGet;
    headerOnly_ = true;
    RunRequest();
}

void TNMHTTP::Abort() {
    LookupDone = true;
    Cancel();
}

void TNMHTTP::Disconnect() {
    if (stage_ == Stage::Body) {
        fetch_->stop();
        stage_ = Stage::Done;
    }
    TPowersock::Disconnect();
}

void TNMHTTP::RunRequest() {
    ReplyNumber = 0;
    // A URL that names no scheme is a plain page; a redirect without one stays where it is.
    Secure = false;
    for (int followed = 0;; ++followed) {
        ParseURL();
        fire(OnAboutToSend, this);
        fetchOne();

        const int cmd = RequestKind;
        if (ReplyNumber < 300) {
            fire(OnSuccess, cmd);
            StatusMessage(2, QStringLiteral("Transaction Completed"));
        } else if (ReplyNumber >= 400) {
            fire(OnFailure, cmd);
        }

        const bool redirect = ReplyNumber >= 300 && ReplyNumber <= 399;
        // The server's bytes, one to a character: those outside ASCII go on as they came.
        const QString location =
            QString::fromLatin1(WireAddress::percentEncoded(fetch_->result().location.trimmed().toLatin1()));
        if (redirect) {
            if (!CookieIn.isEmpty())
                HeaderInfo.Cookie = CookieIn;
            if (!location.isEmpty())
                URL = location;
            bool handled = false;
            fire(OnRedirect, handled);
            if (handled)
                return;
            // Without a new location the same request would be repeated for ever; and a chain
            // that never ends is cut off. Either way the call ends with the reply it has.
            if (location.isEmpty() || followed >= MaxRedirects)
                return;
            // A bare name is relative to the server we are talking to, port included.
            if (!URL.contains(QLatin1Char('/')))
                URL = server() + QLatin1Char('/') + URL;
        }
        if (ReplyNumber == 401)
            fire(OnAuthenticationNeeded, this);
        if (!redirect)
            return;
        RequestKind = KindGet;
    }
}

void TNMHTTP::ParseURL() {
    const ParsedUrl parsed = UrlParser::parse(URL, Host, Port);
    URL = parsed.url;
    Path = parsed.path;
    Host = parsed.host;
    Port = parsed.port;
    if (!parsed.scheme.isEmpty())
        Secure = parsed.scheme == QLatin1String("https");
}

QString TNMHTTP::server() const {
    const QString port = Port == (Secure ? 443 : 80) ? QString() : QStringLiteral(":%1").arg(Port);
    return (Secure ? QStringLiteral("https://") : QStringLiteral("http://")) + Host + port;
}

QString TNMHTTP::absoluteUrl() const {
    return URL.contains(QStringLiteral("//")) ? URL : server() + Path;
}

void TNMHTTP::startFetch() {
    // Each call looks the name up anew: a server that moved is found.
    lookups_.forget();
    fetch_->start({.url = absoluteUrl(),
                   .headerByGet = RequestKind == KindGet,
                   .readBody = !headerOnly_,
                   .proxy = Proxy,
                   .proxyPort = ProxyPort,
                   .acceptUntrusted = AcceptUntrusted,
                   .headerInfo = HeaderInfo,
                   .extraHeaders = {},
                   .send = {}});
}

void TNMHTTP::fetchOne() {
    StatusMessage(8, QStringLiteral("Connecting"));
    Canceled = false;
    Connected = false;
    failure_ = nullptr;
    body_.clear();
    BytesRecvd = 0;
    const auto done = qScopeGuard([this] {
        fetch_->stop();
        stage_ = Stage::Done;
        bodyFile_.close();
        TimerOff();
        if (Connected)
            Disconnect();
    });
    for (int retry = 0;; ++retry) {
        stage_ = Stage::Connecting;
        startFetch();
        // The time-out bounds the lookup and the connect; what follows has no limit of its own.
        TimerOn();
        EventWait::until([this] { return stage_ == Stage::Done || Canceled || TimerExpired; });
        const FetchResult& result = fetch_->result();
        bool handled = false;
        if (stage_ == Stage::Done && result.invalidHost && retry == 0 && OnInvalidHost)
            fire(OnInvalidHost, handled);
        if (!handled)
            break;
    }
    const FetchResult& result = fetch_->result();
    RemoteAddress = result.remoteAddress;
    Trouble = result.trouble;
    TroubleDetail = result.troubleDetail;
    PeerCertificateExpiry = result.certificateExpiry;
    if (failure_)
        std::rethrow_exception(failure_);
    if (stage_ != Stage::Done)
        raiseFailure(result);
    if (!result.answered()) {
        // What came of the header still counts, as the reply number of a half-sent one.
        if (!result.header.isEmpty())
            takeHeader(result);
        raiseFailure(result);
    }
    if (headerOnly_) {
        takeHeader(result);
        Body.clear();
    } else if (!InputFileMode) {
        Body = QString::fromLatin1(body_);
    }
}

void TNMHTTP::raiseFailure(const FetchResult& result) {
    switch (stage_) {
    case Stage::Connecting: {
        const bool lookingUp = fetch_->lookingUp() || result.invalidHost;
        if (TimerExpired)
            throw ESockError(lookingUp ? QStringLiteral("Host Lookup Timed Out")
                                       : QStringLiteral("Connection Timed out"));
        if (Canceled)
            throw ESockError(lookingUp ? QStringLiteral("Host Lookup Canceled")
                                       : QStringLiteral("Connection Canceled"));
        break;
    }
    case Stage::Header:
        throw EAbortError(QStringLiteral("Socket readln aborted"));
    case Stage::Body:
        // A canceled capture is half done: the cancellation is spent on saying so.
        Canceled = false;
        throw EAbortError(QStringLiteral("Socket capture aborted"));
    case Stage::Done:
        break;
    }
    if (result.invalidHost)
        throw ESockError(QStringLiteral("Null Remote Address"));
    if (!Connected)
        fire(OnConnectionFailed, this);
    throw ESockError(result.errorText);
}

void TNMHTTP::guarded(const std::function<void()>& reaction) {
    try {
        reaction();
    } catch (...) {
        failure_ = std::current_exception();
        fetch_->stop();
        stage_ = Stage::Done;
    }
}

void TNMHTTP::onRequested() {
    TimerOff();
    stage_ = Stage::Header;
    // Whatever the redirects, what follows the first request is a GET.
    RequestKind = KindGet;
    Connected = true;
    fire(OnConnect, this);
    StatusMessage(8, QStringLiteral("ReadLn"));
}

void TNMHTTP::onHeader() {
    stage_ = Stage::Body;
    takeHeader(fetch_->result());
    if (InputFileMode) {
        bodyFile_.setFileName(Body);
        if (!bodyFile_.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw FileError::cannotCreate(bodyFile_);
    }
    StatusMessage(8, InputFileMode ? QStringLiteral("CaptureFile") : QStringLiteral("Capture String"));
}

void TNMHTTP::onBody(const QByteArray& bytes) {
    if (InputFileMode)
        bodyFile_.write(bytes);
    else
        body_ += bytes;
    BytesRecvd += quint32(bytes.size());
    fire(OnPacketRecvd, this);
}

void TNMHTTP::takeHeader(const FetchResult& result) {
    ReplyNumber = result.replyNumber;
    CookieIn = result.cookieIn;
    BytesTotal = result.bytesTotal;
    if (!OutputFileMode) {
        Header = result.header;
        return;
    }
    QFile file(Header);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError::cannotCreate(file);
    file.write(result.header.toLatin1());
}
