#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// One page's figures as a scrape shows them: its last check, and what the history says of it.
struct PageMetrics {
    QString url; // without a password
    bool up = false;
    double seconds = 0;
    int code = 0; // 0 when no answer came
    // Name lookup, connect, TLS and the wait for the first byte; none for a phase that did not
    // happen.
    std::optional<qint64> resolveMs;
    std::optional<qint64> connectMs;
    std::optional<qint64> tlsMs;
    std::optional<qint64> processingMs;
    QDateTime certificateExpiry; // invalid without TLS
    std::optional<int> dnsAnswers; // a DNS page's records
    quint64 successes = 0;
    quint64 failures = 0;
    // Shares of successful checks, 0 to 1; none without a check in the window.
    std::optional<double> uptimeDay;
    std::optional<double> uptimeMonth;
    // Why the alarms of its last check were held: "maintenance", "paused" or "dependency"; empty:
    // they were not.
    QString held;
};

struct MetricsSnapshot {
    QList<PageMetrics> pages;
    int tickedPages = 0;
    double intervalSeconds = 0;         // between scheduled cycles
    std::optional<double> cycleSeconds; // of the last cycle that ended
    std::optional<qint64> lastCycleEndMs;
    QDateTime alarmsPausedUntil; // invalid when no pause lasts
};

// The snapshot in Prometheus's text format 0.0.4, with the names of Prometheus's own prober where
// it has one, so that dashboards and alert rules written for that prober work as they are.
QByteArray metricsText(const MetricsSnapshot& snapshot);

// The value of the Content-Type header that goes with the text.
inline constexpr const char* MetricsContentType = "text/plain; version=0.0.4; charset=utf-8";
