#include "check/AlarmDispatch.h"

#include "check/CheckState.h"
#include "check/CycleCalls.h"
#include "notify/ActivityLog.h"
#include "notify/AlarmMailSender.h"
#include "notify/AlarmReport.h"
#include "notify/ChatSender.h"
#include "notify/StatusLine.h"
#include "pages/PageRecords.h"
#include "settings/Settings.h"

#include <exception>

namespace {

// Tray pictures of the dispatch.
constexpr int TrayYellow = 5;
constexpr int TrayRed = 6;

} // namespace

AlarmDispatch::AlarmDispatch(const Controls& controls, const Calls& calls, PageRecords& pages,
                             ActivityLog& log, CheckState& state, AlarmMailSender& mail, ChatSender& chat)
    : c_(controls), calls_(calls), pages_(pages), log_(log), s_(state), mail_(mail), chat_(chat) {}

QString AlarmDispatch::logText(AlarmCondition condition) const {
    const QString seconds = QString::number(s_.ElapsedSeconds);
    switch (condition) {
    case AlarmCondition::NoError:
        return QStringLiteral("Checked Sucessfully: ") + s_.CurrentURL + QStringLiteral(" (") + seconds +
               QStringLiteral(")seconds");
    case AlarmCondition::SlowAccess:
        return QStringLiteral("Slow Access: ") + s_.CurrentURL + QStringLiteral(" (") + seconds +
               QStringLiteral(")seconds");
    case AlarmCondition::HostNotFound:
        return QStringLiteral("Host Not Found: ") + s_.CurrentURL;
    case AlarmCondition::Recovered:
        return QStringLiteral("Recovered: ") + s_.CurrentURL;
    default:
        return s_.ErrorText + QStringLiteral(": ") + s_.CurrentURL;
    }
}

void AlarmDispatch::fireRow(AlarmCondition condition, int page) {
    const Settings& settings = *c_.settings;
    const auto raised = [&](AlarmReaction reaction) { return settings.raises(condition, reaction); };
    if (!s_.FirstRow)
        s_.FirstRow = condition;
    if (raised(AlarmReaction::Yellow) || raised(AlarmReaction::Red))
        s_.StatusRow = condition;
    if (raised(AlarmReaction::Log))
        log_.AddLogLine(logText(condition));
    // Yellow before red: a row with both leaves the page red.
    if (raised(AlarmReaction::Yellow)) {
        s_.YellowRaised = true;
        pages_.writeStatus(page, PageStatus::YellowAlarm);
    }
    if (raised(AlarmReaction::Red)) {
        s_.RedRaised = true;
        pages_.writeStatus(page, PageStatus::RedAlarm);
    }
    if (raised(AlarmReaction::PlayWav))
        s_.PlaySound = true;
    if (raised(AlarmReaction::Chat) && !s_.Chat)
        s_.Chat = ChatAlarm{s_.ListedURL, alarmConditionName(condition), s_.ErrorText, s_.ReplyNumber, {}};
    const std::pair<AlarmReaction, const char*> recipients[] = {{AlarmReaction::Email1, "EditEMail1"},
                                                                {AlarmReaction::Email2, "EditEMail2"},
                                                                {AlarmReaction::Email3, "EditEMail3"}};
    for (const auto& [reaction, address] : recipients) {
        if (raised(reaction)) {
            s_.ToAddress.append(settings.text(QLatin1String(address)));
            s_.SendMail = true;
        }
    }
    // Until its message is out, the page still stands where its alarm left it: a program that
    // ends first keeps it so, and the next start announces the recovery.
    if (condition == AlarmCondition::Recovered && (raised(AlarmReaction::Chat) || s_.SendMail)) {
        const FailureStreak& streak = pages_.streak(page);
        recoveries_.insert(s_.ListedURL, {int(s_.StatusBefore), streak.failedChecks, true});
    }
}

void AlarmDispatch::afterPage(int page) {
    const PageStatus status = pages_.readStatus(page);
    std::exception_ptr soundError;
    auto alarm = [&](const char* soundFile) {
        if (s_.PlaySound && calls_.PlaySound) {
            try {
                calls_.PlaySound(c_.settings->text(QLatin1String(soundFile)));
            } catch (...) {
                soundError = std::current_exception();
            }
        }
        callIfSet(calls_.RevealWindow);
    };
    if (s_.RedRaised) {
        callIfSet(calls_.ShowTrayState, TrayRed);
        if (status == PageStatus::RedAlarm)
            alarm("EditRWavFileName");
    } else if (s_.YellowRaised) {
        callIfSet(calls_.ShowTrayState, TrayYellow);
        if (status == PageStatus::YellowAlarm)
            alarm("EditYWavFileName");
    }
    if (s_.SendMail) {
        callIfSet(calls_.RevealWindow);
        const AlarmReport report{s_.ListedURL, s_.ErrorText, s_.ReplyNumber, s_.ToAddress};
        if (c_.settings->tick(QStringLiteral("CheckBoxMailPerCycle"))) {
            mail_.CollectAlarmMail(report);
        } else {
            sendingMail();
            mail_.SendAlarmMail(report);
        }
    }
    if (s_.Chat) {
        s_.Chat->status = status == PageStatus::RedAlarm      ? QStringLiteral("red")
                          : status == PageStatus::YellowAlarm ? QStringLiteral("yellow")
                          : s_.Failed                         ? QStringLiteral("red")
                                                              : QStringLiteral("ok");
        cycleChat_.append(*std::exchange(s_.Chat, std::nullopt));
    }
    // A sound that cannot be played is reported, but never at the cost of the window or the mail.
    if (soundError)
        std::rethrow_exception(soundError);
}

void AlarmDispatch::cycleStarted() {
    if (chat_.idle() && mail_.MailQueueEmpty())
        recoveries_.clear();
}

void AlarmDispatch::afterCycle() {
    // Goes out on its own while the mail is sent.
    chat_.sendAlarms(std::exchange(cycleChat_, {}));
    // Reports collected before the box was unticked mid-cycle still go out.
    if (!mail_.HasCollectedMail())
        return;
    sendingMail();
    mail_.SendCollectedMail();
}

void AlarmDispatch::sendingMail() {
    c_.status->setText(QStringLiteral("Sending Email "));
}
