#include "service/MetricsService.h"

#include "check/AlarmPause.h"
#include "check/Monitor.h"
#include "metrics/MetricsServer.h"
#include "metrics/MetricsText.h"
#include "metrics/ProbeBoard.h"

#include <QTimer>

namespace {
const QString AddressKey = QStringLiteral("EditMetricsAddress");
const QString TokenKey = QStringLiteral("EditMetricsToken");
} // namespace

MetricsService::MetricsService(Monitor& monitor, Overrides overrides, QObject* parent)
    : QObject(parent), monitor_(monitor), overrides_(std::move(overrides)),
      server_(new MetricsServer([this] { return metricsText(board_->snapshot()); },
                                {[this](qint64 seconds) { return monitor_.alarmPause().pauseFor(seconds); },
                                 [this] { monitor_.alarmPause().resume(); }},
                                this)) {}

MetricsService::~MetricsService() = default;

QString MetricsService::apply() {
    const QString endpoint =
        overrides_.endpoint.isEmpty() ? monitor_.settings.text(AddressKey).trimmed() : overrides_.endpoint;
    const QByteArray token = overrides_.token.value_or(monitor_.settings.text(TokenKey).trimmed().toUtf8());
    const QString wanted = endpoint + QLatin1Char('\n') + QString::fromUtf8(token);
    if (wanted == served_)
        return {};
    served_.clear();
    server_->close();
    if (endpoint.isEmpty())
        return {};
    if (const QString refused = server_->listen(endpoint, token); !refused.isEmpty()) {
        monitor_.log.AddLogLine(QStringLiteral("Metrics not served: ") + refused);
        return refused;
    }
    served_ = wanted;
    // Made once something is served, so a monitor that serves nothing spends nothing on its checks'
    // figures; kept from then on, so a change of address or token keeps the counts.
    if (!board_)
        board_ = new ProbeBoard(monitor_.checkCycle(), monitor_.pages, monitor_.history(), monitor_.settings,
                                monitor_.alarmPause(), this);
    const QString shown = endpoint.left(endpoint.lastIndexOf(QLatin1Char(':')));
    monitor_.log.AddLogLine(
        QStringLiteral("Metrics served on http://%1:%2/metrics").arg(shown).arg(server_->port()));
    return {};
}

void MetricsService::followSettings() {
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(1500);
    connect(settle_, &QTimer::timeout, this, [this] { apply(); });
    connect(&monitor_.settings, &Settings::changed, this, [this](const QString& key) {
        if (key == AddressKey || key == TokenKey)
            settle_->start();
    });
}

quint16 MetricsService::port() const {
    return server_->port();
}
