#include "net/TlsWarmUp.h"

#include "net/TrustStore.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSslSocket>
#include <QThread>

namespace {
struct Waiter {
    QPointer<QObject> context;
    std::function<void()> ready;
};
enum class Stage { NotStarted, Loading, Done };
Stage stage = Stage::NotStarted;
QList<Waiter> waiters;

void deliver(const Waiter& waiter) {
    if (waiter.context)
        QMetaObject::invokeMethod(waiter.context, waiter.ready, Qt::QueuedConnection);
}
} // namespace

void TlsWarmUp::whenReady(QObject* context, std::function<void()> ready) {
    const Waiter waiter{context, std::move(ready)};
    if (stage == Stage::Done)
        return deliver(waiter);
    waiters.append(waiter);
    if (stage == Stage::Loading)
        return;
    stage = Stage::Loading;
    QThread* worker = QThread::create([] {
        QSslSocket::supportsSsl();
        TrustStore::configuration();
    });
    QObject::connect(worker, &QThread::finished, QCoreApplication::instance(), [worker] {
        stage = Stage::Done;
        worker->deleteLater();
        for (const Waiter& w : std::exchange(waiters, {}))
            deliver(w);
    });
    worker->start(QThread::LowPriority);
}
