#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// The desktop's notification service, on a connection of its own to the test's bus: it records
// every notification asked for and answers with a fresh id.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Received {
        QString appName;
        uint replacesId;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout;
        uint id; // what the service answered
    };

    explicit FakeNotifications(const QString& busAddress);
    ~FakeNotifications() override;

    bool registerService();
    void unregisterService();
    void emitActionInvoked(uint id, const QString& actionKey);
    // A call through the program's session bus came back from the service's name: whatever the
    // program sent there before has arrived, and its answers are delivered.
    bool roundTrip();

    QList<Received> received;

public slots:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout);
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }

private:
    QDBusConnection bus_;
    uint nextId_ = 41;
};
