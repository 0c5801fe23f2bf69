#pragma once

#include "history/CheckRecord.h"
#include "history/HistoryBacklog.h"
#include "history/HistoryQueries.h"
#include "history/HistoryThread.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>

class HistoryWriter;

// Every check of every page, and when the program and its cycles ran, kept in an SQLite file in
// WAL mode. The opening and the writing happen on a thread of their own: a cycle's checks are
// handed over when it ends and written there in one transaction, so a program killed in the
// middle of a cycle loses that cycle at most and never leaves a damaged file, and the window
// never waits for the disk.
//
// A file that cannot be opened (locked, read-only, of a newer version) leaves the program running
// without history; a damaged one is set aside under a new name and a new one begun. A write that
// fails later (another program holding the file longer than the wait) costs nothing: what it
// held is kept in memory and written with the next one that goes through.
class HistoryStore : public QObject {
    Q_OBJECT
public:
    using NotKept = std::function<void(const QString& reason)>;

    // notKept hears, on this object's thread, why the history is not kept: when the file is given
    // up, and when writes begin to fail, once however long they go on failing. Nothing is opened
    // yet.
    HistoryStore(const QString& path, NotKept notKept);
    // Waits until everything handed over is written.
    ~HistoryStore() override;

    // Opens the file on the history's thread, making or updating it as needed, and returns at
    // once; openFinished tells when it is open or given up. What is handed over meanwhile is
    // written once it is open.
    void open();
    // False once the file is given up: nothing is kept from then on.
    bool kept() const { return state_ != State::GivenUp; }
    // From open() until openFinished.
    bool opening() const { return state_ == State::Opening; }
    QString path() const { return path_; }

    void programStarted();
    void programEnded();
    void cycleStarted();
    void record(const CheckRecord& check);
    // rawDays: how long every single check is kept before only its hour's and day's sums remain.
    void cycleEnded(int rawDays);
    // Puts pages back where the marks say they stood, after the checks handed over so far.
    // marks are by address.
    void keepMarks(const QHash<QString, PageMark>& marks);
    // Returns once everything handed over so far is written, or tried. Returns how many checks
    // could not be written and wait in memory, which an end of the program loses.
    qsizetype flush();
    // Calls done on this object's thread, without waiting, once everything handed over so far is
    // written.
    void whenWritten(std::function<void()> done);
    // Where the times of cycles and events come from: the system clock unless a simulation
    // says otherwise.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // A page's uptime as last read: after the file was opened and after each cycle was written.
    Uptime uptime(const QString& address) const;

signals:
    // The open is over. marks holds where each page stood after its last check, by address
    // (without a password), as the file says; a page whose check was handed over since open() is
    // left out, as that check knows better. It is empty when the file was given up.
    void openFinished(const QHash<QString, PageMark>& marks);
    // A write went through after writes had failed: what was kept meanwhile is in the file.
    void keptAgain();
    // The file was damaged: it went aside under this name, with its journals, and a new one began.
    void setAside(const QString& aside);
    // The uptimes could not be read, where they could before; the last ones read stay.
    void notRead(const QString& reason);
    void uptimesChanged();

private:
    enum class State { Closed, Opening, Open, GivenUp };

    void finishOpen(const QString& failure, QHash<QString, PageMark> marks);
    void event(const QString& kind);
    // cycleChecks as HistoryBacklog::add takes them.
    void write(HistoryBacklog::Write work, std::optional<qsizetype> cycleChecks = std::nullopt);
    // On the history's thread: reads the uptimes and hands them to this one.
    void readUptimes();

    QString path_;
    NotKept notKept_;
    std::function<qint64()> clock_;
    State state_ = State::Closed;
    qint64 cycleStartMs_ = 0;
    QList<CheckRecord> cycle_;
    QSet<QString> recordedWhileOpening_;
    QHash<QString, Uptime> uptimes_;
    // Made, used and destroyed on thread_ only, as its database connection must be.
    std::unique_ptr<HistoryWriter> writer_;
    HistoryBacklog backlog_;
    bool writesFailing_ = false;
    bool uptimesFailing_ = false;
    // Last, so that it ends before what its work uses.
    HistoryThread thread_{QStringLiteral("history")};
};
