#pragma once

#include "history/CheckRecord.h"
#include "history/HistoryConnection.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <memory>

class QSqlDatabase;
class QSqlError;

// Everything that writes the history file. It lives on the history's own thread, so neither a
// cycle's writing nor the hourly fold costs the window anything.
class HistoryWriter {
public:
    struct Cycle {
        qint64 startMs = 0;
        qint64 endMs = 0;
        QList<CheckRecord> checks;
        int rawDays = 2; // how long every single check is kept
    };

    explicit HistoryWriter(const QString& path);
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter&) = delete;
    HistoryWriter& operator=(const HistoryWriter&) = delete;

    // Opens the file, making or updating it, or setting a damaged one aside with its journals and
    // beginning anew. Returns why no history can be kept; an empty text when it can.
    QString open();
    QString writeEvent(qint64 timeMs, const QString& kind);
    // The cycle's checks, their summaries and its start and end, in one transaction: when it
    // fails, nothing of it is in the file and it may be tried again. At most once an hour it then
    // folds: single checks past their days and hourly rows past 400 days go, while their sums
    // stay in the hourly and daily rows; a fold that fails is tried again after the next cycle.
    QString writeCycle(const Cycle& cycle);
    // Puts pages back where the marks say they stood, by address without a password.
    QString writeMarks(const QHash<QString, PageMark>& marks);

    // Where a damaged file goes: its name with ".corrupt-" and the time (UTC) added.
    static QString asideName(const QString& path);
    // Where open() set a damaged file aside; empty when it did not.
    const QString& setAsideAs() const { return setAsideAs_; }

    QSqlDatabase database() const;

private:
    struct Statements;
    QString strayJournal() const;
    void matchJournalsToFile() const;
    QSqlError tryOpen();
    // Returns why the damaged file stays where it is; an empty text once it is aside.
    QString setAside();
    QString load();
    QString closeLostRun();
    QString writeCheck(const CheckRecord& check);
    QString fold(qint64 nowMs, int rawDays);
    qint64 pageId(const QString& address);

    QString path_;
    HistoryConnection connection_;
    // Declared after the connection, so they end before it.
    std::unique_ptr<Statements> statements_;
    QHash<QString, qint64> pageIds_;
    QSet<qint64> openOutages_;
    qint64 lastFoldMs_ = 0;
    QString setAsideAs_;
};
