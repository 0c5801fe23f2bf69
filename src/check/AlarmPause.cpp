#include "check/AlarmPause.h"

#include "check/CycleCalls.h"
#include "notify/ActivityLog.h"
#include "settings/Settings.h"

#include <QTimer>
#include <algorithm>

namespace {

const QDateTime Forever(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);
// A timer counts in int milliseconds: a long pause is looked at again once a day.
constexpr qint64 LongestWaitMs = 24LL * 60 * 60 * 1000;

} // namespace

AlarmPause::AlarmPause(Settings& settings, ActivityLog& log, std::function<void()> save, QObject* parent)
    : QObject(parent), settings_(settings), log_(log), save_(std::move(save)), end_(new QTimer(this)) {
    end_->setSingleShot(true);
    end_->setTimerType(Qt::PreciseTimer);
    connect(end_, &QTimer::timeout, this, &AlarmPause::arm);
}

bool AlarmPause::untilResumed() const {
    return until_ == Forever;
}

QDateTime AlarmPause::pauseFor(qint64 seconds) {
    set(seconds > 0 ? QDateTime::currentDateTimeUtc().addSecs(seconds) : Forever);
    log_.AddLogLine(text());
    return until_;
}

void AlarmPause::resume() {
    if (paused())
        ended();
}

void AlarmPause::restore() {
    const QString stored = settings_.text(QLatin1String(Key)).trimmed();
    until_ = stored.isEmpty() ? QDateTime() : QDateTime::fromString(stored, Qt::ISODate).toUTC();
    // A pause that ran out while no monitor ran ends now; the file is left to the next save, so
    // that a program that only reads it (a one-shot check) never writes it.
    if (paused() && until_ <= QDateTime::currentDateTimeUtc()) {
        until_ = QDateTime();
        log_.AddLogLine(QStringLiteral("Alarms resumed"));
    }
    if (!paused())
        settings_.setText(QLatin1String(Key), QString());
    arm();
    emit changed();
}

QString AlarmPause::text() const {
    if (untilResumed())
        return QStringLiteral("Alarms paused until resumed");
    return QStringLiteral("Alarms paused until ") +
           until_.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

void AlarmPause::set(const QDateTime& until) {
    until_ = until;
    settings_.setText(QLatin1String(Key), until.isValid() ? until.toString(Qt::ISODate) : QString());
    callIfSet(save_);
    arm();
    emit changed();
}

void AlarmPause::arm() {
    end_->stop();
    if (!paused())
        return;
    const qint64 left = QDateTime::currentDateTimeUtc().msecsTo(until_);
    if (left <= 0)
        return ended();
    end_->start(int(std::min(left, LongestWaitMs)));
}

void AlarmPause::ended() {
    set(QDateTime());
    log_.AddLogLine(QStringLiteral("Alarms resumed"));
}
