#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <optional>

class HistoryWriter;

// What waits to be written to the history file, oldest first. A write that fails stays, with
// every one after it, and all of them are tried again with the next write: a file that another
// program holds for a while loses no cycle. A file that stays unwritable must not eat the
// memory of a monitor that runs for weeks, so past MaxCycles cycles or MaxChecks checks the
// oldest cycles go.
class HistoryBacklog {
public:
    using Write = std::function<QString(HistoryWriter&)>;
    static constexpr int MaxCycles = 10;
    static constexpr qsizetype MaxChecks = 100000;

    // cycleChecks: the number of checks when the write is a cycle's. Anything else (the program's
    // start and end) is a few bytes, happens once a run, and is never dropped.
    void add(Write write, std::optional<qsizetype> cycleChecks);
    // Writes what waits, oldest first, until one fails. Returns why it failed; an empty text
    // when everything went.
    QString write(HistoryWriter& writer);
    // The checks of the cycles still waiting.
    qsizetype checks() const { return checks_; }

private:
    struct Entry {
        Write write;
        std::optional<qsizetype> cycleChecks;
    };
    void remove(std::deque<Entry>::iterator entry);

    std::deque<Entry> entries_;
    int cycles_ = 0;
    qsizetype checks_ = 0;
};
