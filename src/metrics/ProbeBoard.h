#pragma once

#include "history/CheckRecord.h"
#include "metrics/MetricsText.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <optional>

class AlarmPause;
class CheckCycle;
class HistoryStore;
class PageRecords;
class Settings;

// What the checks found, held for whoever asks between cycles: each page's last check and its
// counts since the start, and the last cycle's length and end. A scrape reads it as it stands and
// never waits for a cycle.
class ProbeBoard : public QObject {
    Q_OBJECT
public:
    ProbeBoard(CheckCycle& cycle, const PageRecords& pages, const HistoryStore& history,
               const Settings& settings, const AlarmPause& pause, QObject* parent = nullptr);

    // The ticked pages that have been checked, in list order.
    MetricsSnapshot snapshot() const;

private:
    void take(const CheckRecord& check, const QDateTime& certificateExpiry);
    // A page taken off the list takes its figures with it, so a monitor running for months does
    // not keep every address it ever checked.
    void forgetRemovedPages();

    const PageRecords& pages_;
    const HistoryStore& history_;
    const Settings& settings_;
    const AlarmPause& pause_;
    QHash<QString, PageMetrics> probes_; // by address without a password
    qint64 cycleStartMs_ = 0;
    std::optional<double> cycleSeconds_;
    std::optional<qint64> lastCycleEndMs_;
};
