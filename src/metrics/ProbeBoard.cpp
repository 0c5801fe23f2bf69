#include "metrics/ProbeBoard.h"

#include "check/AlarmPause.h"
#include "check/CheckCycle.h"
#include "history/HistoryFile.h"
#include "history/HistoryStore.h"
#include "pages/PageRecords.h"
#include "settings/ConnectionSettings.h"
#include "settings/Settings.h"

#include <QSet>

namespace {
std::optional<double> ratio(const std::optional<double>& percent) {
    if (!percent)
        return std::nullopt;
    return *percent / 100.0;
}
} // namespace

ProbeBoard::ProbeBoard(CheckCycle& cycle, const PageRecords& pages, const HistoryStore& history,
                       const Settings& settings, const AlarmPause& pause, QObject* parent)
    : QObject(parent), pages_(pages), history_(history), settings_(settings), pause_(pause) {
    connect(&cycle, &CheckCycle::cycleStarted, this,
            [this] { cycleStartMs_ = QDateTime::currentMSecsSinceEpoch(); });
    connect(&cycle, &CheckCycle::pageChecked, this, &ProbeBoard::take);
    connect(&cycle, &CheckCycle::cycleFinished, this, [this] {
        if (cycleStartMs_ == 0)
            return;
        lastCycleEndMs_ = QDateTime::currentMSecsSinceEpoch();
        cycleSeconds_ = double(*lastCycleEndMs_ - std::exchange(cycleStartMs_, 0)) / 1000.0;
        forgetRemovedPages();
    });
}

void ProbeBoard::take(const CheckRecord& check, const QDateTime& certificateExpiry) {
    PageMetrics& probe = probes_[withoutPassword(check.address)];
    probe.up = check.up;
    probe.seconds = double(check.ms) / 1000.0;
    probe.code = check.code;
    probe.resolveMs = check.lookupMs;
    probe.connectMs = check.connectMs;
    probe.tlsMs = check.tlsMs;
    probe.processingMs = check.firstByteMs;
    probe.certificateExpiry = certificateExpiry;
    probe.dnsAnswers = check.dnsAnswers;
    probe.held = check.held;
    ++(check.up ? probe.successes : probe.failures);
}

void ProbeBoard::forgetRemovedPages() {
    QSet<QString> listed;
    for (int page = 0; page < pages_.pageCount(); ++page)
        listed.insert(withoutPassword(pages_.url(page)));
    probes_.removeIf([&listed](const auto& probe) { return !listed.contains(probe.key()); });
}

MetricsSnapshot ProbeBoard::snapshot() const {
    MetricsSnapshot snapshot;
    snapshot.cycleSeconds = cycleSeconds_;
    snapshot.lastCycleEndMs = lastCycleEndMs_;
    snapshot.alarmsPausedUntil = pause_.until();
    snapshot.intervalSeconds =
        ConnectionSettings::intervalMs(settings_.text(QStringLiteral("EditInterval"))) / 1000.0;
    // A page listed twice is one series: the format allows no two samples of one name and labels.
    QSet<QString> shown;
    for (int page = 0; page < pages_.pageCount(); ++page) {
        if (!pages_.isIncluded(page))
            continue;
        ++snapshot.tickedPages;
        const QString url = withoutPassword(pages_.url(page));
        const auto probe = probes_.constFind(url);
        if (probe == probes_.cend() || shown.contains(url))
            continue;
        shown.insert(url);
        PageMetrics metrics = *probe;
        metrics.url = url;
        const Uptime uptime = history_.uptime(url);
        metrics.uptimeDay = ratio(uptime.day);
        metrics.uptimeMonth = ratio(uptime.month);
        snapshot.pages.append(std::move(metrics));
    }
    return snapshot;
}
