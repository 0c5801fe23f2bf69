#pragma once

#include "net/FetchRequest.h"
#include "net/FetchResult.h"

#include <QByteArray>
#include <QObject>
#include <memory>

class HostLookups;
class TlsTickets;

// The check of something other than a web page's answer: a DNS name's records, a TCP port, the
// greeting and certificate of a TLS or mail server. It is started with the page's request and ends
// in finished() with the same kind of result a page fetch gives, so that the walk, the outcome,
// the history and the metrics take it as they take a page. It sets no deadline of its own: the
// page's check stops it when its time is up.
class Probe : public QObject {
    Q_OBJECT
public:
    // The most of a first reply (a banner, a greeting) that is kept.
    static constexpr qsizetype ReplyLimit = 4096;

    using QObject::QObject;

    // request.url is the page's address; request.send is written once connected (tcp).
    virtual void start(const FetchRequest& request) = 0;
    // Ends the probe at once, without finished().
    virtual void stop() = 0;
    const FetchResult& result() const { return result_; }
    // The first reply read (at most ReplyLimit bytes): a TCP banner, a server's greeting.
    const QByteArray& reply() const { return reply_; }

    // Whether an address is a probe's rather than a web page's: dns, tcp, tls, smtps, imaps,
    // pop3s, smtp, imap and pop3.
    static bool handles(const QString& url);
    // The probe for the address's scheme; null for a web page.
    static std::unique_ptr<Probe> make(const QString& url, HostLookups& lookups, TlsTickets& tickets);

signals:
    void finished();

protected:
    FetchResult result_;
    QByteArray reply_;
};
