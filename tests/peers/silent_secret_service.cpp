// A secret service that takes every call and answers none, as a locked keyring does while it waits
// for the user to unlock it. Prints "READY" once it owns its name on the session bus.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <cstdio>

class SilentObjects : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    // Taken, so the bus library sends no error back either.
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override { return true; }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    SilentObjects silent;
    if (!bus.registerVirtualObject(QStringLiteral("/"), &silent, QDBusConnection::SubPath) ||
        !bus.registerService(QStringLiteral("org.freedesktop.secrets")))
        return 1;
    std::puts("READY");
    std::fflush(stdout);
    return app.exec();
}
