#pragma once

#include "net/FetchResult.h"
#include "net/HostLookups.h"
#include "net/THeaderInfo.h"
#include "net/TPowersock.h"
#include "net/TlsClient.h"

#include <QFile>
#include <exception>

class PageFetch;

// The HTTP/1.0 client: one call fetches one URL (HEAD or GET), directly or through a proxy,
// reads the header and the body until the server closes, and follows redirects unless the
// owner takes them over in OnRedirect. Each request is a PageFetch, the form that runs side by
// side with others; the call waits for it with the event loop running, as the session's
// operations do, and raises what they raise.
class TNMHTTP : public TPowersock {
    Q_OBJECT
public:
    using TCmdEvent = std::function<void(int Cmd)>;

    enum : quint8 { KindGet = 0, KindHead = 2 };

    explicit TNMHTTP(QObject* parent = nullptr);
    ~TNMHTTP() override;

    QString Body = QStringLiteral("Default.htm"); // the body, or the file that receives it
    QString Header = QStringLiteral("Head.txt");  // the header as received, or its file
    THeaderInfo HeaderInfo;
    bool InputFileMode = false;  // the body goes to the file named by Body
    bool OutputFileMode = false; // the header goes to the file named by Header

    TNotifyEvent OnAboutToSend;
    TCmdEvent OnSuccess; // reply below 300
    TCmdEvent OnFailure; // reply 400 or more
    THandledEvent OnRedirect;
    TNotifyEvent OnAuthenticationNeeded;

    QString URL;
    QString Path;
    quint8 RequestKind = KindGet;
    QString CookieIn;

    // Redirects followed within one call; a server sending us round in circles ends there.
    static constexpr int MaxRedirects = 20;

    void Head(const QString& url);
    void Get(const QString& url);
    // A GET of which only the response header is read; the connection is then closed, so the
    // body is never downloaded. For servers that refuse HEAD.
    void GetHeader(const QString& url);
    void Abort() override;
    // During a body read, ends it as the server's close would: what came is kept.
    void Disconnect() override;

protected:
    virtual void RunRequest();
    virtual void ParseURL();

private:
    enum class Stage { Connecting, Header, Body, Done };

    // One request of the call, waited for.
    void fetchOne();
    void startFetch();
    // The scheme, host and port we are talking to.
    QString server() const;
    // The URL with its server, for a Location that named only a path.
    QString absoluteUrl() const;
    void onRequested();
    void onHeader();
    void onBody(const QByteArray& bytes);
    void takeHeader(const FetchResult& result);
    // Ends the request with what the reaction raised, if anything.
    void guarded(const std::function<void()>& reaction);
    void raiseFailure(const FetchResult& result);

    HostLookups lookups_;
    TlsTickets tickets_;
    PageFetch* fetch_;
    Stage stage_ = Stage::Done;
    bool headerOnly_ = false;
    QFile bodyFile_;
    QByteArray body_;
    std::exception_ptr failure_;
};
