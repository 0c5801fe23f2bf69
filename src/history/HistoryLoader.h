#pragma once

#include "history/HistorySeries.h"
#include "history/HistoryThread.h"

#include <QObject>
#include <QString>
#include <memory>

class HistoryReader;

// Reads the history file on a thread of its own, through a read-only connection of its own, so
// that a year of a page or an export of everything holds up neither the window nor the writer.
// Reads run one at a time, in the order asked; each answer comes back on this object's thread.
class HistoryLoader : public QObject {
    Q_OBJECT
public:
    explicit HistoryLoader(const QString& path, QObject* parent = nullptr);
    // Waits for the read under way and those asked before it.
    ~HistoryLoader() override;

    // Reads one page's series over a stretch of time; seriesRead answers with the number this
    // returns (1 and up), so that an answer to a question since replaced can be told apart.
    int readSeries(const QString& address, qint64 fromMs, qint64 toMs);
    // Writes every kept check to file as CSV, as exportHistoryTo does; exported answers.
    void exportTo(const QString& file);

signals:
    // failure: why the series could not be read; an empty text when it was.
    void seriesRead(int request, const HistorySeries& series, const QString& failure);
    void exported(const QString& file, const QString& failure);

private:
    // On the thread: opens the reader on first need, so a monitor whose history is never looked
    // at holds no second connection. Returns why it cannot be read.
    QString openReader();

    QString path_;
    int requests_ = 0;
    // Made, used and destroyed on thread_ only.
    std::unique_ptr<HistoryReader> reader_;
    bool readerOpen_ = false;
    // Last, so that it ends before what its work uses.
    HistoryThread thread_{QStringLiteral("history reads")};
};
