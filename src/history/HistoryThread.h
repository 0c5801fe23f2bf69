#pragma once

#include <QString>
#include <QThread>
#include <functional>

// A thread of its own that runs the work handed to it one piece at a time, in the order handed
// over. A database connection made in a piece of work belongs to this thread: it must be used
// and ended by later pieces only.
class HistoryThread {
public:
    explicit HistoryThread(const QString& name);
    // Runs what was handed over before it ends.
    ~HistoryThread();
    HistoryThread(const HistoryThread&) = delete;
    HistoryThread& operator=(const HistoryThread&) = delete;

    void post(std::function<void()> work);
    // Returns once work, and everything handed over before it, has run.
    void run(std::function<void()> work);

private:
    QThread thread_;
    QObject* worker_ = nullptr;
};
