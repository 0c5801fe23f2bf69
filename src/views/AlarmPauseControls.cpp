#include "views/AlarmPauseControls.h"

#include "check/AlarmPause.h"
#include "views/TStatusBar.h"
#include "views/TWinTaskbar.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {

struct PauseLength {
    const char* caption;
    qint64 seconds; // 0: until resumed
};

constexpr PauseLength Lengths[] = {
    {"15 minutes", 15 * 60}, {"1 hour", 60 * 60}, {"4 hours", 4 * 60 * 60}, {"Until resumed", 0}};

constexpr qint64 DaySeconds = 24 * 60 * 60;

} // namespace

AlarmPauseControls::AlarmPauseControls(const Controls& controls, AlarmPause& pause, QObject* parent)
    : QObject(parent), c_(controls), pause_(pause),
      pauseMenu_(new QMenu(QStringLiteral("Pause alarms"), c_.FormMainWindow)),
      resume_(new QAction(QStringLiteral("Resume alarms"), this)) {
    pauseMenu_->setObjectName(QStringLiteral("MenuPauseAlarms"));
    pauseMenu_->setToolTipsVisible(true);
    for (const PauseLength& length : Lengths) {
        QAction* action = pauseMenu_->addAction(QLatin1String(length.caption));
        action->setToolTip(length.seconds ? QStringLiteral("No alarm goes out for ") + action->text()
                                          : QStringLiteral("No alarm goes out until you resume them"));
        connect(action, &QAction::triggered, &pause_,
                [this, seconds = length.seconds] { pause_.pauseFor(seconds); });
    }
    resume_->setObjectName(QStringLiteral("ResumeAlarms"));
    resume_->setToolTip(QStringLiteral("Alarms go out again from now on"));
    connect(resume_, &QAction::triggered, &pause_, &AlarmPause::resume);

    // The drop-down opens on a click and on the space bar alike.
    c_.SpeedButtonPause->setMenu(pauseMenu_);
    c_.SpeedButtonPause->setPopupMode(QToolButton::InstantPopup);
    connect(c_.SpeedButtonResume, &QToolButton::clicked, resume_, &QAction::trigger);

    auto* trayMenu = new QMenu(c_.FormMainWindow);
    trayMenu->setObjectName(QStringLiteral("MenuTray"));
    trayMenu->addMenu(pauseMenu_);
    trayMenu->addAction(resume_);
    c_.TrayIcon1->setPopUpMenu(trayMenu);

    connect(&pause_, &AlarmPause::changed, this, &AlarmPauseControls::AlarmPauseChanged);
    AlarmPauseChanged();
}

QString AlarmPauseControls::statusText(const AlarmPause& pause, const QDateTime& nowUtc) {
    if (!pause.paused())
        return {};
    if (pause.untilResumed())
        return QStringLiteral("Alarms paused until resumed");
    const QString format = nowUtc.secsTo(pause.until()) > DaySeconds ? QStringLiteral("yyyy-MM-dd HH:mm")
                                                                     : QStringLiteral("HH:mm");
    return QStringLiteral("Alarms paused until ") + pause.until().toLocalTime().toString(format);
}

void AlarmPauseControls::AlarmPauseChanged() {
    const bool paused = pause_.paused();
    resume_->setEnabled(paused);
    c_.SpeedButtonResume->setEnabled(paused);
    c_.StatusBar1->setPanelText(statusText(pause_, QDateTime::currentDateTimeUtc()));
}
