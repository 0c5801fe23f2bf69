#include "history/HistoryThread.h"

HistoryThread::HistoryThread(const QString& name) {
    thread_.setObjectName(name);
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

HistoryThread::~HistoryThread() {
    // The quit is queued behind the work, so all of it runs first.
    QMetaObject::invokeMethod(worker_, [this] { thread_.quit(); });
    thread_.wait();
}

void HistoryThread::post(std::function<void()> work) {
    QMetaObject::invokeMethod(worker_, std::move(work));
}

void HistoryThread::run(std::function<void()> work) {
    QMetaObject::invokeMethod(worker_, std::move(work), Qt::BlockingQueuedConnection);
}
