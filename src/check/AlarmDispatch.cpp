#include "check/AlarmDispatch.h"

#include "check/CheckState.h"
#include "check/CycleCalls.h"
#include "notify/ActivityLog.h"
#include "notify/AlarmMailSender.h"
#include "notify/AlarmReport.h"
#include "notify/ChatSender.h"
#include "notify/ChatText.h"
#include "notify/StatusLine.h"
#include "pages/PageRecords.h"
#include "settings/Settings.h"

#include <QDateTime>
#include <algorithm>
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

AlarmLedger::Rules AlarmDispatch::ledgerRules() const {
    const auto minutesMs = [this](const QString& key) {
        return qint64(std::max(0, c_.settings->text(key).trimmed().toInt())) * 60000;
    };
    AlarmLedger::Rules rules;
    for (int target = 0; target < 3; ++target) {
        const QString number = QString::number(target + 1);
        rules.afterMs[std::size_t(target)] = minutesMs(QStringLiteral("EditEMailAfter") + number);
        rules.afterMs[std::size_t(target + 3)] = minutesMs(QStringLiteral("EditChatAfter") + number);
    }
    rules.remindMs = minutesMs(QStringLiteral("EditRemindEvery"));
    return rules;
}

void AlarmDispatch::beforeRows(bool failing, const std::optional<AlarmHold>& held) {
    s_.Told.fill(true);
    s_.Reminded.fill(false);
    s_.DownMs = 0;
    s_.RemindAddress.clear();
    s_.SendReminder = false;
    s_.ChatReminder.reset();
    s_.MailExclusive = false;
    if (!failing)
        return;
    if (held) {
        ledger_.held(s_.ListedURL);
        return;
    }
    const AlarmLedger::Telling telling =
        ledger_.alarm(s_.ListedURL, nowMs_(), ledgerRules());
    s_.Told = telling.told;
    s_.Reminded = telling.reminded;
    s_.DownMs = telling.downMs;
}

void AlarmDispatch::addRecipient(AlarmReaction reaction, const QString& address, bool ticked) {
    if (!ticked)
        return;
    const std::size_t target = std::size_t(int(reaction) - int(AlarmReaction::Email1));
    if (!s_.Told[target]) {
        s_.MailExclusive = true;
    } else if (s_.Reminded[target]) {
        s_.RemindAddress.append(address);
        s_.SendReminder = true;
        s_.MailExclusive = true;
    } else {
        s_.ToAddress.append(address);
        s_.SendMail = true;
    }
}

void AlarmDispatch::chatAlarm(AlarmCondition condition) {
    if (s_.Chat || s_.ChatReminder)
        return;
    ChatAlarm alarm{s_.ListedURL, alarmConditionName(condition), s_.ErrorText, s_.ReplyNumber, {}};
    ChatAlarm reminder = alarm;
    reminder.error = QStringLiteral("Still down for ") + AlarmLedger::lasting(s_.DownMs) +
                     QStringLiteral(": ") + s_.ErrorText;
    bool anyAlarm = false;
    bool anyReminder = false;
    for (std::size_t target = 0; target < 3; ++target) {
        const bool told = s_.Told[target + 3];
        const bool reminded = told && s_.Reminded[target + 3];
        alarm.targets[target] = told && !reminded;
        reminder.targets[target] = reminded;
        anyAlarm = anyAlarm || alarm.targets[target];
        anyReminder = anyReminder || reminded;
    }
    if (anyAlarm)
        s_.Chat = alarm;
    if (anyReminder)
        s_.ChatReminder = reminder;
}

bool AlarmDispatch::fireRow(AlarmCondition condition, int page, bool held) {
    const Settings& settings = *c_.settings;
    const auto ticked = [&](AlarmReaction reaction) { return settings.raises(condition, reaction); };
    // A recovery is never held: whoever heard of the failure hears of its end.
    if (condition == AlarmCondition::Recovered) {
        held = false;
        s_.Told = ledger_.recovered(s_.ListedURL);
    }
    const auto raised = [&](AlarmReaction reaction) {
        return ticked(reaction) && (!held || reaction == AlarmReaction::Log);
    };
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
    if (raised(AlarmReaction::Chat))
        chatAlarm(condition);
    const std::pair<AlarmReaction, const char*> recipients[] = {{AlarmReaction::Email1, "EditEMail1"},
                                                                {AlarmReaction::Email2, "EditEMail2"},
                                                                {AlarmReaction::Email3, "EditEMail3"}};
    for (const auto& [reaction, address] : recipients)
        addRecipient(reaction, settings.text(QLatin1String(address)), raised(reaction));
    // Until its message is out, the page still stands where its alarm left it: a program that
    // ends first keeps it so, and the next start announces the recovery.
    if (condition == AlarmCondition::Recovered && (raised(AlarmReaction::Chat) || s_.SendMail)) {
        const FailureStreak& streak = pages_.streak(page);
        recoveries_.insert(s_.ListedURL, {int(s_.StatusBefore), streak.failedChecks, true});
    }
    if (!held)
        return false;
    for (AlarmReaction reaction :
         {AlarmReaction::Yellow, AlarmReaction::Red, AlarmReaction::PlayWav, AlarmReaction::Chat,
          AlarmReaction::Email1, AlarmReaction::Email2, AlarmReaction::Email3})
        if (ticked(reaction))
            return true;
    return false;
}

void AlarmDispatch::afterPage(int page, bool heldCount) {
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
    if (s_.SendMail || s_.SendReminder)
        callIfSet(calls_.RevealWindow);
    if (s_.SendMail)
        sendReport({s_.ListedURL, s_.ErrorText, s_.ReplyNumber, s_.ToAddress}, heldCount);
    if (s_.SendReminder)
        sendReport({s_.ListedURL,
                    QStringLiteral("Still down for ") + AlarmLedger::lasting(s_.DownMs) +
                        QStringLiteral(": ") + s_.ErrorText,
                    s_.ReplyNumber, s_.RemindAddress},
                   heldCount);
    const QString chatStatus = status == PageStatus::RedAlarm      ? QStringLiteral("red")
                               : status == PageStatus::YellowAlarm ? QStringLiteral("yellow")
                               : s_.Failed                         ? QStringLiteral("red")
                                                                   : QStringLiteral("ok");
    for (std::optional<ChatAlarm>* chat : {&s_.Chat, &s_.ChatReminder}) {
        if (*chat) {
            (*chat)->status = chatStatus;
            cycleChat_.append(*std::exchange(*chat, std::nullopt));
        }
    }
    // A sound that cannot be played is reported, but never at the cost of the window or the mail.
    if (soundError)
        std::rethrow_exception(soundError);
}

namespace {

// Where a page's mail says how many pages were held behind it, until the cycle knows.
QString heldMark(const QString& page) {
    return QChar(0xE000) + page + QChar(0xE001);
}

} // namespace

void AlarmDispatch::sendReport(const AlarmReport& report, bool heldCount) {
    AlarmReport sent = report;
    if (heldCount) {
        sent.errorText += heldMark(report.listedUrl);
        if (!counted_.contains(report.listedUrl))
            counted_.append(report.listedUrl);
    }
    if (c_.settings->tick(QStringLiteral("CheckBoxMailPerCycle"))) {
        mail_.CollectAlarmMail(sent, s_.MailExclusive);
    } else if (heldCount) {
        // Composed now, while the check's macros describe this page; sent once the count is in.
        if (const std::optional<QString> text = mail_.ComposeAlarmMail(sent))
            waitingMails_.append({report.listedUrl, *text, report.recipients});
    } else {
        sendingMail();
        mail_.SendAlarmMail(sent);
    }
}

void AlarmDispatch::cycleStarted() {
    if (chat_.idle() && mail_.MailQueueEmpty())
        recoveries_.clear();
}

void AlarmDispatch::afterCycle(const QHash<QString, int>& heldBehind) {
    for (ChatAlarm& alarm : cycleChat_)
        alarm.held = heldBehind.value(alarm.page);
    // Goes out on its own while the mail is sent.
    chat_.sendAlarms(std::exchange(cycleChat_, {}));
    QList<std::pair<QString, QString>> counts;
    for (const QString& page : std::exchange(counted_, {})) {
        const int held = heldBehind.value(page);
        counts.append({heldMark(page), held > 0 ? ChatText::heldBehind(held) : QString()});
    }
    const auto counted = [&](QString text) {
        for (const auto& [mark, count] : counts)
            text.replace(mark, count);
        return text;
    };
    for (const ComposedMail& mail : std::exchange(waitingMails_, {})) {
        sendingMail();
        mail_.SendComposedMail(mail.page, counted(mail.text), mail.recipients);
    }
    // Reports collected before the box was unticked mid-cycle still go out.
    if (!mail_.HasCollectedMail())
        return;
    mail_.AmendCollectedMail(counted);
    sendingMail();
    mail_.SendCollectedMail();
}

void AlarmDispatch::sendingMail() {
    c_.status->setText(QStringLiteral("Sending Email "));
}
