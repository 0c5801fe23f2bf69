#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>

class MetricsServer;
class Monitor;
class ProbeBoard;
class QTimer;

// The monitor's results served to Prometheus, where the settings ("Serve metrics on", "Metrics
// token") or the command line say. What the command line gives wins over the settings.
class MetricsService : public QObject {
    Q_OBJECT
public:
    struct Overrides {
        QString endpoint;                // empty: the settings' address
        std::optional<QByteArray> token; // none: the settings' token
    };

    MetricsService(Monitor& monitor, Overrides overrides, QObject* parent = nullptr);
    ~MetricsService() override;

    // Serves as the settings and overrides now say, or stops serving. Logs where it serves, or
    // why it cannot; returns that reason, empty when it serves or nothing is asked.
    QString apply();
    // From now on, a change of the address or the token is applied a moment after the typing
    // stops.
    void followSettings();
    // The port served on; 0 when none.
    quint16 port() const;

private:
    Monitor& monitor_;
    Overrides overrides_;
    ProbeBoard* board_ = nullptr;
    MetricsServer* server_;
    QTimer* settle_ = nullptr;
    QString served_; // what is served now: endpoint and token, to skip a change that changes nothing
};
