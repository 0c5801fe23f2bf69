#pragma once

#include "history/CheckRecord.h"
#include "history/HistoryQueries.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

class HistoryWriter;

// Every check of every page, and when the program and its cycles ran, kept in an SQLite file in
// WAL mode. The writing happens on a thread of its own: a cycle's checks are handed over when it
// ends and written there in one transaction, so a program killed in the middle of a cycle loses
// that cycle at most and never leaves a damaged file, and the window never waits for the disk.
//
// A file that cannot be used (locked, read-only, of a newer version) leaves the program running
// without history; a damaged one is set aside under a new name and a new one begun.
class HistoryStore : public QObject {
    Q_OBJECT
public:
    using NotKept = std::function<void(const QString& reason)>;

    // notKept hears once, on this object's thread, why no history is kept from then on. Nothing
    // is opened yet.
    HistoryStore(const QString& path, NotKept notKept);
    // Waits until everything handed over is written.
    ~HistoryStore() override;

    // Opens the file, making or updating it as needed; returns once it is open or given up.
    void open();
    bool kept() const { return kept_; }
    QString path() const { return path_; }

    void programStarted();
    void programEnded();
    void cycleStarted();
    void record(const CheckRecord& check);
    // rawDays: how long every single check is kept before only its hour's and day's sums remain.
    void cycleEnded(int rawDays);
    // Returns once everything handed over so far is written.
    void flush();
    // Where the times of cycles and events come from: the system clock unless a simulation
    // says otherwise.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // Where each page stood after its last check, by address (without a password), as the file
    // said when it was opened.
    const QHash<QString, PageMark>& marks() const { return marks_; }
    // A page's uptime as last read: after the file was opened and after each cycle was written.
    Uptime uptime(const QString& address) const;

signals:
    void uptimesChanged();

private:
    void event(const QString& kind);
    void stop(const QString& reason);
    void write(std::function<QString(HistoryWriter&)> work);
    // On the writer's thread: reads the uptimes and hands them to this one.
    void readUptimes();

    QString path_;
    NotKept notKept_;
    std::function<qint64()> clock_;
    bool kept_ = false;
    qint64 cycleStartMs_ = 0;
    QList<CheckRecord> cycle_;
    QHash<QString, PageMark> marks_;
    QHash<QString, Uptime> uptimes_;
    QThread thread_;
    // Made, used and destroyed on thread_ only, as its database connection must be.
    QObject* worker_ = nullptr;
    std::unique_ptr<HistoryWriter> writer_;
};
