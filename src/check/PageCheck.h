#pragma once

#include "net/FetchRequest.h"
#include "net/FetchResult.h"
#include "net/StatusCodeList.h"
#include "pages/PageOptions.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

class HostLookups;
class PageFetch;
class Probe;
class TlsTickets;

// The check of one page: its request, the redirects it follows and the GET that stands in for a
// refused HEAD, timed from its own first request. finished() follows when the page has its
// answer, or none will come.
class PageCheck : public QObject {
    Q_OBJECT
public:
    // Redirects followed for one page; the next one ends it, so a loop never hammers a server.
    static constexpr int MaxRedirects = 20;
    // How much of a page's body a content check reads; the rest is never fetched.
    static constexpr qsizetype BodyLimit = 1024 * 1024;

    PageCheck(HostLookups& lookups, TlsTickets& tickets, QObject* parent = nullptr);
    ~PageCheck() override;

    // request.url is the page's address as listed, and the request carries the settings of the
    // Connection tab; the page's own options add to them. The check ends as timed out deadlineMs
    // after its first request.
    void start(const FetchRequest& request, const PageOptions& options, qint64 deadlineMs);
    // Ends the check at once: its time is up, or nobody wants its answer any more.
    void stop(bool timedOut);

    bool running() const { return running_; }
    qint64 elapsedMs() const;
    // The address of the request under way, or of the last one.
    const QString& currentUrl() const { return currentUrl_; }
    // The last request's result; errorText says why the page has no answer.
    const FetchResult& result() const { return result_; }
    const QString& errorText() const { return errorText_; }
    bool timedOut() const { return timedOut_; }
    // The page's options count the final status as a success.
    bool accepts(int reply) const { return accepted_.accepts(reply); }
    // The final answer's body, read for a content check, and whether it was cut at BodyLimit.
    const QByteArray& body() const { return body_; }
    bool bodyCut() const { return bodyCut_; }

signals:
    void finished();

private:
    void begin();
    void send(bool headerByGet);
    void takeBody(const QByteArray& bytes);
    void fetched();
    // The probe for an address that is no web page's, made or kept for its scheme.
    void useProbe(const QString& url);
    void probed();
    // A redirect whose status the page's accepted codes name is the answer the page is watched for.
    bool followed(int reply) const;
    // The login goes only to the listed page's own server, and over plain http only where the
    // page allows it.
    bool loginAllowed(const QString& url) const;
    // The page's own headers carry secrets too (a key, a cookie): along a redirect they go only to
    // the page's own server, and never from https down to plain http.
    bool headersAllowed(const QString& from, const QString& to) const;
    void end(const QString& errorText);

    HostLookups& lookups_;
    TlsTickets& tickets_;
    PageFetch* fetch_;
    std::unique_ptr<Probe> probe_; // for the page under way, when it is no web page
    QString probeScheme_;
    bool probing_ = false;
    FetchRequest request_;
    PageOptions options_;
    StatusCodeList accepted_;
    QString listedServer_;
    FetchResult result_;
    QByteArray body_;
    bool bodyCut_ = false;
    QString currentUrl_;
    QString errorText_;
    QElapsedTimer clock_;
    qint64 elapsedMs_ = 0;
    qint64 deadlineMs_ = 0;
    QTimer deadline_;
    int redirects_ = 0;
    quint64 attempts_ = 0; // a wait for TLS of an earlier start is dropped
    bool running_ = false;
    bool timedOut_ = false;
};
