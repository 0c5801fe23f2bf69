#include "net/DnsProbe.h"

#include "net/DnsChannel.h"
#include "net/DnsRecords.h"
#include "net/HostLookups.h"

#include <QPointer>
#include <QUrl>
#include <ares.h>

DnsProbe::DnsProbe(HostLookups& lookups, QObject* parent) : Probe(parent), lookups_(lookups) {}

DnsProbe::~DnsProbe() {
    stop();
}

void DnsProbe::start(const FetchRequest& request) {
    const quint64 run = ++run_;
    address_ = DnsAddress::parse(request.url);
    result_ = FetchResult();
    result_.url = request.url;
    result_.host = address_.name;
    result_.port = address_.port;
    clock_.start();
    if (!address_.problem.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, run] { run == run_ ? finish(address_.problem) : void(); }, Qt::QueuedConnection);
        return;
    }
    if (address_.resolver.isEmpty())
        return ask(QHostAddress());
    // The resolver is given by name or address; the shared lookups answer an address at once.
    lookups_.find(address_.resolver, this, [this, run](const QList<QHostAddress>& addresses) {
        if (run != run_)
            return;
        if (QHostAddress literal; !literal.setAddress(address_.resolver))
            result_.lookupMs = clock_.elapsed();
        if (addresses.isEmpty()) {
            result_.invalidHost = true;
            return finish(QStringLiteral("Host not found: ") + address_.resolver);
        }
        ask(addresses.first());
    });
}

void DnsProbe::stop() {
    // Answers still on their way are told apart by the run and dropped; the shared channel goes on
    // serving the other probes.
    ++run_;
}

void DnsProbe::ask(const QHostAddress& server) {
    result_.remoteAddress = server;
    channel_ = DnsChannel::shared(server, address_.port);
    if (!channel_)
        return finish(QStringLiteral("DNS resolver could not be set up"));
    query();
}

void DnsProbe::query() {
    clock_.start();
    const bool ascii =
        std::all_of(address_.name.cbegin(), address_.name.cend(), [](QChar c) { return c.unicode() < 0x80; });
    const QByteArray name = ascii ? address_.name.toLatin1() : QUrl::toAce(address_.name);
    channel_->ask(name, address_.typeNumber,
                  [self = QPointer<DnsProbe>(this), run = run_](int status, const QByteArray& answer) {
                      if (self && run == self->run_)
                          self->answered(status, answer);
                  });
}

void DnsProbe::answered(int status, const QByteArray& answer) {
    // The library gave up on a server that stays silent; the page's check decides when to stop.
    if (status == ARES_ETIMEOUT)
        return query();
    result_.firstByteMs = clock_.elapsed();
    result_.dnsRcode = DnsRecords::rcode(status);
    if (status == ARES_SUCCESS || status == ARES_ENODATA) {
        const std::optional<QStringList> records = DnsRecords::read(address_.typeNumber, answer);
        if (!records)
            return finish(QStringLiteral("DNS server sent an answer that cannot be read"));
        result_.dnsAnswers = *records;
        return finish(QString());
    }
    if (status == ARES_ENOTFOUND) {
        result_.invalidHost = true;
        return finish(QStringLiteral("Host not found: ") + address_.name);
    }
    if (status == ARES_ECONNREFUSED)
        result_.trouble = ConnectionTrouble::Refused;
    if (!result_.dnsRcode.isEmpty())
        return finish(QStringLiteral("DNS server answered ") + result_.dnsRcode);
    finish(QStringLiteral("DNS lookup failed: ") + QString::fromUtf8(ares_strerror(status)));
}

void DnsProbe::finish(const QString& errorText) {
    ++run_;
    result_.errorText = errorText;
    emit finished();
}
