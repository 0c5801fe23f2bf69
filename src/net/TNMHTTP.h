#pragma once

#include "net/HeaderEndScanner.h"
#include "net/TExStringList.h"
#include "net/THeaderInfo.h"
#include "net/TPowersock.h"

// The HTTP/1.0 client: one call fetches one URL (HEAD or GET), directly or through a proxy,
// reads the header and the body until the server closes, and follows redirects unless the
// owner takes them over in OnRedirect.
class TNMHTTP : public TPowersock {
    Q_OBJECT
public:
    using TCmdEvent = std::function<void(int Cmd)>;

    enum : quint8 { KindGet = 0, KindHead = 2 };

    explicit TNMHTTP(QObject* parent = nullptr);

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
    TExStringList RequestHeaders;
    QString CookieIn;
    // The whole response header of the current request has arrived, even if the waiting call
    // has not read it yet (a dialog may keep it from returning). Cleared when a request starts.
    bool Answered = false;

    // Redirects followed within one call; a server sending us round in circles ends there.
    static constexpr int MaxRedirects = 20;

    void Head(const QString& url);
    void Get(const QString& url);
    // A GET of which only the response header is read; the connection is then closed, so the
    // body is never downloaded. For servers that refuse HEAD.
    void GetHeader(const QString& url);
    void Abort() override;

protected:
    virtual void RunRequest();
    virtual void ParseURL();
    virtual void BuildRequest();
    virtual void ReadResponseHeader();
    virtual void SendRequest();

private:
    bool locationSeen_ = false;
    bool headerOnly_ = false;
    HeaderEndScanner headerEnd_;
};
