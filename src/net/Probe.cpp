#include "net/Probe.h"

#include "net/DnsProbe.h"
#include "net/StreamAddress.h"
#include "net/StreamProbe.h"

namespace {

bool isDns(const QString& url) {
    return url.startsWith(QLatin1String("dns:"), Qt::CaseInsensitive);
}

} // namespace

bool Probe::handles(const QString& url) {
    return isDns(url) || StreamAddress::handles(url);
}

std::unique_ptr<Probe> Probe::make(const QString& url, HostLookups& lookups, TlsTickets& tickets) {
    if (isDns(url))
        return std::make_unique<DnsProbe>(lookups);
    if (StreamAddress::handles(url))
        return std::make_unique<StreamProbe>(lookups, tickets);
    return nullptr;
}
