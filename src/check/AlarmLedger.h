#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <optional>

// Who has been told that a page is down, and when: the three mail recipients and the three chat
// targets. Escalation and reminders are decided from it, and a recovery goes to those who heard
// of the failure. Only pages that are down are kept.
class AlarmLedger {
public:
    static constexpr int Targets = 6; // mail recipients 1-3, then chat targets 1-3
    using Mask = std::array<bool, Targets>;

    struct Rules {
        std::array<qint64, Targets> afterMs{}; // a target hears of a page once it is down this long
        qint64 remindMs = 0;                   // 0: every alarm is told as it comes
    };
    struct Telling {
        Mask told{};     // the targets that hear of the alarm now
        Mask reminded{}; // of them, those told before in this outage: a reminder
        qint64 downMs = 0;
    };

    // The page alarms for its failure now.
    Telling alarm(const QString& page, qint64 nowMs, const Rules& rules);
    // The page's alarms are held: once they are not, its failure is news again.
    void held(const QString& page);
    // The page is back: who hears of it (those told of its failure; everyone when nothing is
    // known of it, as after a restart). It is forgotten.
    Mask recovered(const QString& page);

    // "1 h 20 min", "5 min", "2 d 3 h".
    static QString lasting(qint64 ms);

private:
    struct Entry {
        std::optional<qint64> downSinceMs; // none: no alarm since the page went down or was held
        std::array<std::optional<qint64>, Targets> toldMs{};
        Mask toldEver{};
    };
    QHash<QString, Entry> pages_;
};
