#pragma once

#include "net/DnsAddress.h"
#include "net/Probe.h"

#include <QElapsedTimer>
#include <memory>

class DnsChannel;
class HostLookups;

// The check of a dns:// address: asks the resolver it names (the system's when none) for every
// record of the type and hands them back in presentation form with the response code. NXDOMAIN
// marks the name as not found; SERVFAIL, REFUSED and the like end with the code in the error text;
// a server that stays silent is asked again until the page's check stops the probe.
class DnsProbe : public Probe {
    Q_OBJECT
public:
    // lookups finds the address of a resolver given by name.
    explicit DnsProbe(HostLookups& lookups, QObject* parent = nullptr);
    ~DnsProbe() override;

    void start(const FetchRequest& request) override;
    void stop() override;

private:
    void ask(const QHostAddress& server);
    void query();
    void answered(int status, const QByteArray& answer);
    void finish(const QString& errorText);

    HostLookups& lookups_;
    DnsAddress address_;
    // Tells the answers of this start from those of an earlier one still on their way.
    quint64 run_ = 0;
    QElapsedTimer clock_;
    // Kept between starts: the next start on the same resolver asks through the same channel.
    std::shared_ptr<DnsChannel> channel_;
};
