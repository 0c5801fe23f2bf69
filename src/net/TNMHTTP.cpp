#include "net/TNMHTTP.h"

#include "net/FileError.h"
#include "net/RequestBuilder.h"
#include "net/ResponseHeaderReader.h"
#include "net/UrlParser.h"

#include <QFile>

TNMHTTP::TNMHTTP(QObject* parent) : TPowersock(parent) {
    DataArrivedHook = [this](const QByteArray& bytes) {
        headerEnd_.feed(bytes);
        Answered = headerEnd_.complete();
    };
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

void TNMHTTP::RunRequest() {
    ReplyNumber = 0;
    // A URL that names no scheme is a plain page; a redirect without one stays where it is.
    Secure = false;
    for (int followed = 0;; ++followed) {
        Answered = false;
        headerEnd_.reset();
        ParseURL();
        BuildRequest();
        fire(OnAboutToSend, this);
        Connect();
        try {
            SendRequest();
            ReadResponseHeader();
            if (headerOnly_)
                Body.clear();
            else if (InputFileMode)
                CaptureFile(Body);
            else
                Body = CaptureString(-1);
        } catch (...) {
            Disconnect();
            throw;
        }
        Disconnect();

        const int cmd = RequestKind;
        if (ReplyNumber < 300) {
            fire(OnSuccess, cmd);
            StatusMessage(2, QStringLiteral("Transaction Completed"));
        } else if (ReplyNumber >= 400) {
            fire(OnFailure, cmd);
        }
        Disconnect();

        const bool redirect = ReplyNumber >= 300 && ReplyNumber <= 399;
        if (redirect) {
            if (!CookieIn.isEmpty())
                HeaderInfo.Cookie = CookieIn;
            bool handled = false;
            fire(OnRedirect, handled);
            if (handled)
                return;
            // Without a new location the same request would be repeated for ever; and a chain
            // that never ends is cut off. Either way the call ends with the reply it has.
            if (!locationSeen_ || followed >= MaxRedirects)
                return;
            if (!URL.contains(QLatin1Char('/'))) {
                // A bare name is relative to the server we are talking to, port included.
                const QString port =
                    Port == (Secure ? 443 : 80) ? QString() : QStringLiteral(":%1").arg(Port);
                URL = (Secure ? QStringLiteral("https://") : QStringLiteral("http://")) + Host + port +
                      QLatin1Char('/') + URL;
            }
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

void TNMHTTP::BuildRequest() {
    const QString method = RequestKind == KindHead ? QStringLiteral("HEAD") : QStringLiteral("GET");
    // Through a tunnel the server gets the request a direct one would: the proxy never sees it.
    RequestHeaders = RequestBuilder::build({method, URL, Path, Host, Secure ? QString() : Proxy}, HeaderInfo);
}

void TNMHTTP::SendRequest() {
    QString text;
    for (const QString& line : RequestHeaders)
        text += line + QStringLiteral("\r\n");
    Write(text);
    RequestKind = KindGet;
}

void TNMHTTP::ReadResponseHeader() {
    BytesTotal = 0;
    CookieIn.clear();
    locationSeen_ = false;
    QFile file;
    if (OutputFileMode) {
        file.setFileName(Header);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw FileError::cannotCreate(file);
    } else {
        Header.clear();
    }
    auto keep = [&](const QString& line) {
        if (OutputFileMode)
            file.write(line.toLatin1());
        else
            Header += line;
    };

    const QString status = ReadLn();
    ReplyNumber = ResponseHeaderReader::replyNumber(status);
    keep(status);
    ResponseHeaderReader reader;
    for (;;) {
        const QString line = ReadLn();
        const bool end = reader.takeLine(line);
        CookieIn = reader.CookieIn;
        BytesTotal = reader.BytesTotal;
        // An empty Location names no place to go; it counts as none.
        if (reader.HasLocation && !reader.Location.isEmpty()) {
            URL = reader.Location;
            locationSeen_ = true;
        }
        keep(line);
        if (end)
            break;
    }
}
