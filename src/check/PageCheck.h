#pragma once

#include "net/FetchRequest.h"
#include "net/FetchResult.h"

#include <QElapsedTimer>
#include <QObject>

class HostLookups;
class PageFetch;
class TlsTickets;

// The check of one page: its request, the redirects it follows and the GET that stands in for a
// refused HEAD, timed from its own first request. finished() follows when the page has its
// answer, or none will come.
class PageCheck : public QObject {
    Q_OBJECT
public:
    // Redirects followed for one page; the next one ends it, so a loop never hammers a server.
    static constexpr int MaxRedirects = 20;

    PageCheck(HostLookups& lookups, TlsTickets& tickets, QObject* parent = nullptr);

    // request.url is the page's address as listed.
    void start(const FetchRequest& request);
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

signals:
    void finished();

private:
    void begin();
    void send(bool headerByGet);
    void fetched();
    void end(const QString& errorText);

    PageFetch* fetch_;
    FetchRequest request_;
    FetchResult result_;
    QString currentUrl_;
    QString errorText_;
    QElapsedTimer clock_;
    qint64 elapsedMs_ = 0;
    int redirects_ = 0;
    quint64 attempts_ = 0; // a wait for TLS of an earlier start is dropped
    bool running_ = false;
    bool timedOut_ = false;
};
