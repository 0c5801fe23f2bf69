#pragma once

#include <QDateTime>
#include <QObject>
#include <functional>

class ActivityLog;
class QTimer;
class Settings;

// A pause of every page's alarms, for a while or until resumed: the pages are still checked and
// logged, but nobody is woken. It is kept in the settings, so it outlasts a restart, and its end,
// whether it ran out or was resumed, says so in the log.
class AlarmPause : public QObject {
    Q_OBJECT
public:
    static constexpr const char* Key = "AlarmsPausedUntil";

    // save: writes the settings, so that a pause survives a crash too; may be left empty.
    AlarmPause(Settings& settings, ActivityLog& log, std::function<void()> save, QObject* parent = nullptr);

    // When the pause ends, in UTC; invalid when there is none. A pause until resumed ends in the
    // year 9999.
    QDateTime until() const { return until_; }
    bool paused() const { return until_.isValid(); }
    bool untilResumed() const;
    // seconds 0: until resumed. Returns when it ends.
    QDateTime pauseFor(qint64 seconds);
    void resume();
    // The settings were loaded: a pause they hold goes on, or ends now if its time is over.
    void restore();
    // "Alarms paused until 2026-12-08 14:30" in the machine's time, or "... until resumed".
    QString text() const;

signals:
    void changed();

private:
    void set(const QDateTime& until);
    void arm();
    void ended();

    Settings& settings_;
    ActivityLog& log_;
    std::function<void()> save_;
    QTimer* end_;
    QDateTime until_;
};
