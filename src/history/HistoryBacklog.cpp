#include "history/HistoryBacklog.h"

#include <algorithm>

void HistoryBacklog::add(Write write, std::optional<qsizetype> cycleChecks) {
    entries_.push_back({std::move(write), cycleChecks});
    if (!cycleChecks)
        return;
    ++cycles_;
    checks_ += *cycleChecks;
    while (cycles_ > MaxCycles || checks_ > MaxChecks)
        remove(std::find_if(entries_.begin(), entries_.end(),
                            [](const Entry& entry) { return entry.cycleChecks.has_value(); }));
}

void HistoryBacklog::remove(std::deque<Entry>::iterator entry) {
    if (entry->cycleChecks) {
        --cycles_;
        checks_ -= *entry->cycleChecks;
    }
    entries_.erase(entry);
}

QString HistoryBacklog::write(HistoryWriter& writer) {
    while (!entries_.empty()) {
        if (const QString failure = entries_.front().write(writer); !failure.isEmpty())
            return failure;
        remove(entries_.begin());
    }
    return {};
}
