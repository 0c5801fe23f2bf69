#pragma once

#include "history/CheckRecord.h"

#include <QList>
#include <QString>
#include <functional>

class QSqlQuery;

// Every check of every page, and when the program and its cycles ran, kept in an SQLite file in
// WAL mode. A cycle's checks are written together when it ends, in one transaction, so a program
// killed in the middle of a cycle loses that cycle at most and never leaves a damaged file.
//
// A file that cannot be used (locked, read-only, of a newer version) leaves the program running
// without history; a damaged one is set aside under a new name and a new one begun.
class HistoryStore {
public:
    static constexpr int SchemaVersion = 1;
    using NotKept = std::function<void(const QString& reason)>;

    // notKept hears once why no history is kept from then on. Nothing is opened yet.
    HistoryStore(const QString& path, NotKept notKept);
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens the file, making or updating it as needed.
    void open();
    bool kept() const { return kept_; }

    void programStarted();
    void programEnded();
    void cycleStarted();
    void record(const CheckRecord& check);
    void cycleEnded();

    // Where a damaged file goes: its name with ".corrupt-" and the time (UTC) added.
    static QString asideName(const QString& path);

private:
    enum class Trouble { None, Damaged, Other };
    struct Failure {
        Trouble trouble = Trouble::None;
        QString reason;
    };
    Failure tryOpen();
    Failure migrate();
    Failure failureOf(const QSqlQuery& query) const;
    bool setAside();
    // An empty text when written, else why not.
    QString writeEvent(qint64 timeMs, const QString& kind);
    QString writeCycle();
    void event(const QString& kind);
    void stop(const QString& reason);

    QString path_;
    QString connection_;
    NotKept notKept_;
    bool kept_ = false;
    qint64 cycleStartMs_ = 0;
    QList<CheckRecord> cycle_;
};
