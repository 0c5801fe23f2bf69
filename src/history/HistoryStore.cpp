#include "history/HistoryStore.h"

#include "history/HistoryFile.h"
#include "history/HistoryWriter.h"

#include <QDateTime>
#include <QSqlDatabase>

HistoryStore::HistoryStore(const QString& path, NotKept notKept)
    : path_(path), notKept_(std::move(notKept)), clock_(&QDateTime::currentMSecsSinceEpoch) {
    thread_.setObjectName(QStringLiteral("history"));
    worker_ = new QObject;
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    thread_.start();
}

HistoryStore::~HistoryStore() {
    // Queued after every write handed over, so they all land before the connection closes.
    QMetaObject::invokeMethod(worker_, [this] { writer_.reset(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void HistoryStore::open() {
    QString failure;
    QMetaObject::invokeMethod(
        worker_,
        [this, &failure] {
            writer_ = std::make_unique<HistoryWriter>(path_);
            failure = writer_->open();
            if (!failure.isEmpty())
                writer_.reset();
            else
                marks_ = readMarks(writer_->database());
        },
        Qt::BlockingQueuedConnection);
    if (!failure.isEmpty()) {
        stop(failure);
        return;
    }
    kept_ = true;
    QMetaObject::invokeMethod(worker_, [this] { readUptimes(); });
}

void HistoryStore::readUptimes() {
    if (!writer_)
        return;
    QHash<QString, Uptime> uptimes = ::readUptimes(writer_->database(), clock_());
    QMetaObject::invokeMethod(this, [this, uptimes = std::move(uptimes)]() mutable {
        uptimes_ = std::move(uptimes);
        emit uptimesChanged();
    });
}

Uptime HistoryStore::uptime(const QString& address) const {
    return uptimes_.value(withoutPassword(address));
}

void HistoryStore::flush() {
    QMetaObject::invokeMethod(worker_, [] {}, Qt::BlockingQueuedConnection);
}

void HistoryStore::stop(const QString& reason) {
    kept_ = false;
    cycle_.clear();
    if (notKept_)
        notKept_(reason);
}

void HistoryStore::write(std::function<QString(HistoryWriter&)> work) {
    if (!kept_)
        return;
    QMetaObject::invokeMethod(worker_, [this, work = std::move(work)] {
        if (!writer_)
            return;
        const QString failure = work(*writer_);
        if (failure.isEmpty())
            return;
        // Nothing more is written after a failure; the window hears why once.
        writer_.reset();
        QMetaObject::invokeMethod(this, [this, failure] { stop(failure); });
    });
}

void HistoryStore::event(const QString& kind) {
    write([time = clock_(), kind](HistoryWriter& writer) { return writer.writeEvent(time, kind); });
}

void HistoryStore::programStarted() {
    event(QStringLiteral("program start"));
}

void HistoryStore::programEnded() {
    event(QStringLiteral("program end"));
}

void HistoryStore::cycleStarted() {
    cycleStartMs_ = clock_();
    cycle_.clear();
}

void HistoryStore::record(const CheckRecord& check) {
    if (kept_)
        cycle_.append(check);
}

void HistoryStore::cycleEnded(int rawDays) {
    HistoryWriter::Cycle cycle{cycleStartMs_, clock_(), std::exchange(cycle_, {}), rawDays};
    write([this, cycle = std::move(cycle)](HistoryWriter& writer) mutable {
        // Passwords come out here rather than on the window's thread, which has a walk to run.
        for (CheckRecord& check : cycle.checks)
            check = withoutPassword(check);
        const QString failure = writer.writeCycle(cycle);
        if (failure.isEmpty())
            readUptimes();
        return failure;
    });
}
