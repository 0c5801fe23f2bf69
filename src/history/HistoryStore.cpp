#include "history/HistoryStore.h"

#include "history/HistoryFile.h"
#include "history/HistoryWriter.h"

#include <QDateTime>
#include <QSqlDatabase>

HistoryStore::HistoryStore(const QString& path, NotKept notKept)
    : path_(path), notKept_(std::move(notKept)), clock_(&QDateTime::currentMSecsSinceEpoch) {}

HistoryStore::~HistoryStore() {
    // Queued after every write handed over, so they all land before the connection closes.
    thread_.run([this] { writer_.reset(); });
}

void HistoryStore::open() {
    state_ = State::Opening;
    thread_.post([this] {
        auto writer = std::make_unique<HistoryWriter>(path_);
        QString failure = writer->open();
        QHash<QString, PageMark> marks;
        // Without them every page would start afresh, and its first check would overwrite where
        // it stood: better no history this run than a history that forgets.
        if (failure.isEmpty()) {
            if (const QString unread = readMarks(writer->database(), marks); !unread.isEmpty())
                failure = QStringLiteral("where the pages stood cannot be read: ") + unread;
        }
        const QString aside = writer->setAsideAs();
        if (failure.isEmpty())
            writer_ = std::move(writer);
        QMetaObject::invokeMethod(this, [this, failure, aside, marks = std::move(marks)]() mutable {
            if (!aside.isEmpty())
                emit setAside(aside);
            finishOpen(failure, std::move(marks));
        });
        if (writer_)
            readUptimes();
    });
}

void HistoryStore::finishOpen(const QString& failure, QHash<QString, PageMark> marks) {
    if (failure.isEmpty()) {
        state_ = State::Open;
        for (const QString& address : std::as_const(recordedWhileOpening_))
            marks.remove(withoutPassword(address));
    } else {
        state_ = State::GivenUp;
        cycle_.clear();
        if (notKept_)
            notKept_(failure);
    }
    recordedWhileOpening_.clear();
    emit openFinished(marks);
}

void HistoryStore::readUptimes() {
    QHash<QString, Uptime> uptimes;
    const QString failure = ::readUptimes(writer_->database(), clock_(), uptimes);
    const bool wasFailing = std::exchange(uptimesFailing_, !failure.isEmpty());
    QMetaObject::invokeMethod(this, [this, failure, wasFailing, uptimes = std::move(uptimes)]() mutable {
        // Heard once, not after every cycle while it lasts.
        if (!failure.isEmpty() && !wasFailing)
            emit notRead(failure);
        if (!failure.isEmpty())
            return;
        uptimes_ = std::move(uptimes);
        emit uptimesChanged();
    });
}

Uptime HistoryStore::uptime(const QString& address) const {
    return uptimes_.value(withoutPassword(address));
}

qsizetype HistoryStore::flush() {
    qsizetype unwritten = 0;
    thread_.run([this, &unwritten] { unwritten = backlog_.checks(); });
    return unwritten;
}

void HistoryStore::keepMarks(const QHash<QString, PageMark>& marks) {
    if (marks.isEmpty())
        return;
    write([marks](HistoryWriter& writer) {
        QHash<QString, PageMark> bare;
        for (auto mark = marks.cbegin(); mark != marks.cend(); ++mark)
            bare.insert(withoutPassword(mark.key()), *mark);
        return writer.writeMarks(bare);
    });
}

void HistoryStore::whenWritten(std::function<void()> done) {
    thread_.post([this, done = std::move(done)] { QMetaObject::invokeMethod(this, done); });
}

void HistoryStore::write(HistoryBacklog::Write work, std::optional<qsizetype> cycleChecks) {
    if (!kept())
        return;
    thread_.post([this, work = std::move(work), cycleChecks]() mutable {
        if (!writer_)
            return;
        backlog_.add(std::move(work), cycleChecks);
        const QString failure = backlog_.write(*writer_);
        if (failure.isEmpty() && cycleChecks)
            readUptimes();
        // The window hears when writing begins to fail and when it goes through again, not of
        // every failed try between.
        if (std::exchange(writesFailing_, !failure.isEmpty()) == !failure.isEmpty())
            return;
        QMetaObject::invokeMethod(this, [this, failure] {
            if (failure.isEmpty())
                emit keptAgain();
            else if (notKept_)
                notKept_(failure);
        });
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
    if (!kept())
        return;
    cycle_.append(check);
    if (opening())
        recordedWhileOpening_.insert(check.address);
}

void HistoryStore::cycleEnded(int rawDays) {
    HistoryWriter::Cycle cycle{cycleStartMs_, clock_(), std::exchange(cycle_, {}), rawDays};
    const qsizetype checks = cycle.checks.size();
    // Passwords come out on the history's thread rather than on the window's, which has a walk
    // to run; the first try takes them out, and a later one finds none.
    write(
        [cycle = std::move(cycle)](HistoryWriter& writer) mutable {
            for (CheckRecord& check : cycle.checks)
                check = withoutPassword(check);
            return writer.writeCycle(cycle);
        },
        checks);
}
