#include "FakeNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QSignalSpy>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString ConnectionName = QStringLiteral("fake-notifications");

} // namespace

FakeNotifications::FakeNotifications(const QString& busAddress)
    : bus_(QDBusConnection::connectToBus(busAddress, ConnectionName)) {
    bus_.registerObject(Path, this, QDBusConnection::ExportAllSlots);
}

FakeNotifications::~FakeNotifications() {
    bus_.unregisterObject(Path);
    QDBusConnection::disconnectFromBus(ConnectionName);
}

bool FakeNotifications::registerService() {
    return bus_.registerService(Service);
}

void FakeNotifications::unregisterService() {
    bus_.unregisterService(Service);
}

void FakeNotifications::emitActionInvoked(uint id, const QString& actionKey) {
    bus_.send(QDBusMessage::createSignal(Path, Service, QStringLiteral("ActionInvoked")) << id << actionKey);
}

bool FakeNotifications::roundTrip() {
    const QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("GetCapabilities"));
    QDBusPendingCallWatcher watcher(QDBusConnection::sessionBus().asyncCall(call));
    QSignalSpy finished(&watcher, &QDBusPendingCallWatcher::finished);
    return watcher.isFinished() || finished.wait();
}

uint FakeNotifications::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                               const QString& summary, const QString& body, const QStringList& actions,
                               const QVariantMap& hints, int expireTimeout) {
    received.append({appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout, nextId_});
    return nextId_++;
}
