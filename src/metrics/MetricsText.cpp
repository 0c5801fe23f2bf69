#include "metrics/MetricsText.h"

#include "history/CheckRecord.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// A label value may hold anything an address may: backslash, quote and line feed are escaped.
QByteArray labelValue(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

QByteArray number(double value) {
    if (std::isnan(value))
        return "NaN";
    // Enough digits that a Unix time in seconds keeps its milliseconds.
    return QByteArray::number(value, 'g', 15);
}

class Writer {
public:
    explicit Writer(QByteArray& out) : out_(out) {}

    void family(const char* name, const char* type, const char* help) {
        name_ = name;
        out_ += QByteArray("# HELP ") + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n';
    }
    // labels: already written as name="value" pairs, comma-separated; empty for none.
    void sample(const QByteArray& labels, double value) {
        out_ += name_;
        if (!labels.isEmpty())
            out_ += '{' + labels + '}';
        out_ += ' ' + number(value) + '\n';
    }

private:
    QByteArray& out_;
    QByteArray name_;
};

QByteArray urlLabel(const PageMetrics& page) {
    return "url=\"" + labelValue(page.url) + '"';
}

double seconds(const std::optional<qint64>& ms) {
    return ms ? double(*ms) / 1000.0 : 0.0;
}

} // namespace

QByteArray metricsText(const MetricsSnapshot& snapshot) {
    QByteArray out;
    Writer w(out);
    // One family after the other, each with every page's sample: the format wants a family's
    // samples together.
    auto perPage = [&](const char* name, const char* type, const char* help,
                       const std::function<void(const PageMetrics&, const QByteArray&)>& samples) {
        w.family(name, type, help);
        for (const PageMetrics& page : snapshot.pages)
            samples(page, urlLabel(page));
    };
    perPage("probe_success", "gauge", "Whether the page's last check succeeded",
            [&](const PageMetrics& p, const QByteArray& url) { w.sample(url, p.up ? 1 : 0); });
    perPage("probe_duration_seconds", "gauge", "How long the page's last check took in seconds",
            [&](const PageMetrics& p, const QByteArray& url) { w.sample(url, p.seconds); });
    perPage("probe_http_status_code", "gauge", "HTTP status of the page's last check, 0 when none came",
            [&](const PageMetrics& p, const QByteArray& url) { w.sample(url, p.code); });
    perPage("probe_http_duration_seconds", "gauge", "Duration of the phases of the page's last check",
            [&](const PageMetrics& p, const QByteArray& url) {
                const std::pair<const char*, const std::optional<qint64>*> phases[] = {
                    {"resolve", &p.resolveMs},
                    {"connect", &p.connectMs},
                    {"tls", &p.tlsMs},
                    {"processing", &p.processingMs}};
                for (const auto& [phase, ms] : phases)
                    w.sample(url + ",phase=\"" + phase + '"', seconds(*ms));
            });
    perPage("probe_ssl_earliest_cert_expiry", "gauge", "When the page's certificate expires, in Unix seconds",
            [&](const PageMetrics& p, const QByteArray& url) {
                if (p.certificateExpiry.isValid())
                    w.sample(url, double(p.certificateExpiry.toSecsSinceEpoch()));
            });
    // Only where DNS pages are watched: a list of web pages is served as it always was.
    if (std::any_of(snapshot.pages.cbegin(), snapshot.pages.cend(),
                    [](const PageMetrics& p) { return p.dnsAnswers.has_value(); }))
        perPage("probe_dns_answer_rrs", "gauge", "How many records the DNS page's last answer held",
                [&](const PageMetrics& p, const QByteArray& url) {
                    if (p.dnsAnswers)
                        w.sample(url, *p.dnsAnswers);
                });
    perPage("korvane_checks_total", "counter", "Checks of the page since the monitor started",
            [&](const PageMetrics& p, const QByteArray& url) {
                w.sample(url + ",result=\"success\"", double(p.successes));
                w.sample(url + ",result=\"failure\"", double(p.failures));
            });
    perPage("korvane_uptime_ratio", "gauge", "Share of the page's successful checks kept in the history",
            [&](const PageMetrics& p, const QByteArray& url) {
                if (p.uptimeDay)
                    w.sample(url + ",window=\"24h\"", *p.uptimeDay);
                if (p.uptimeMonth)
                    w.sample(url + ",window=\"30d\"", *p.uptimeMonth);
            });
    perPage("korvane_maintenance", "gauge", "Whether the page's last check was in a maintenance window",
            [&](const PageMetrics& p, const QByteArray& url) {
                w.sample(url, p.held == QLatin1String(CheckRecord::Maintenance) ? 1 : 0);
            });
    perPage("korvane_held", "gauge", "Why the alarms of the page's last check were held",
            [&](const PageMetrics& p, const QByteArray& url) {
                if (!p.held.isEmpty())
                    w.sample(url + ",reason=\"" + labelValue(p.held) + '"', 1);
            });
    w.family("korvane_cycle_duration_seconds", "gauge", "How long the last check cycle took");
    if (snapshot.cycleSeconds)
        w.sample({}, *snapshot.cycleSeconds);
    w.family("korvane_last_cycle_end_timestamp_seconds", "gauge",
             "When the last check cycle ended, in Unix seconds");
    if (snapshot.lastCycleEndMs)
        w.sample({}, double(*snapshot.lastCycleEndMs) / 1000.0);
    w.family("korvane_cycle_interval_seconds", "gauge", "Time between scheduled check cycles");
    w.sample({}, snapshot.intervalSeconds);
    w.family("korvane_pages", "gauge", "Pages ticked for checking");
    w.sample({}, snapshot.tickedPages);
    w.family("korvane_alarms_paused_until_timestamp_seconds", "gauge",
             "When the pause of all alarms ends, in Unix seconds; 0 when none lasts");
    w.sample({}, snapshot.alarmsPausedUntil.isValid() ? double(snapshot.alarmsPausedUntil.toSecsSinceEpoch())
                                                      : 0);
    return out;
}
