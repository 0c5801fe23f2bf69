#include "check/AlarmDispatch.h"

#include "check/CheckState.h"
#include "notify/AlarmMailSender.h"
#include "notify/AlarmReport.h"
#include "notify/AlarmSoundPlay.h"
#include "notify/ChatSender.h"
#include "pages/PageRecords.h"
#include "views/ActivityLog.h"
#include "views/TStatusBar.h"

#include <QCheckBox>
#include <QLineEdit>
#include <exception>

namespace {

bool ticked(const QCheckBox* box) {
    return box && box->isChecked();
}

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
    const AlarmRow& row = c_.rows[std::size_t(condition)];
    if (!s_.FirstRow)
        s_.FirstRow = condition;
    if (ticked(row.Yellow) || ticked(row.Red))
        s_.StatusRow = condition;
    if (ticked(row.Log))
        log_.AddLogLine(logText(condition));
    // Yellow before red: a row with both leaves the page red.
    if (ticked(row.Yellow)) {
        s_.YellowRaised = true;
        pages_.writeStatus(page, PageStatus::YellowAlarm);
    }
    if (ticked(row.Red)) {
        s_.RedRaised = true;
        pages_.writeStatus(page, PageStatus::RedAlarm);
    }
    if (ticked(row.PlayWav))
        s_.PlaySound = true;
    if (ticked(row.Chat) && !s_.Chat)
        s_.Chat = ChatAlarm{s_.ListedURL, alarmConditionName(condition), s_.ErrorText, s_.ReplyNumber, {}};
    const std::pair<QCheckBox*, QLineEdit*> recipients[] = {
        {row.Email1, c_.EditEMail1}, {row.Email2, c_.EditEMail2}, {row.Email3, c_.EditEMail3}};
    for (const auto& [box, address] : recipients) {
        if (ticked(box)) {
            s_.ToAddress.append(address->text());
            s_.SendMail = true;
        }
    }
}

void AlarmDispatch::afterPage(int page) {
    const PageStatus status = pages_.readStatus(page);
    std::exception_ptr soundError;
    auto alarm = [&](const QLineEdit* soundFile) {
        if (s_.PlaySound) {
            try {
                AlarmSoundPlay(*c_.MediaPlayer1, soundFile->text());
            } catch (...) {
                soundError = std::current_exception();
            }
        }
        calls_.RevealWindow();
    };
    if (s_.RedRaised) {
        calls_.ShowTrayState(TrayRed);
        if (status == PageStatus::RedAlarm)
            alarm(c_.EditRWavFileName);
    } else if (s_.YellowRaised) {
        calls_.ShowTrayState(TrayYellow);
        if (status == PageStatus::YellowAlarm)
            alarm(c_.EditYWavFileName);
    }
    if (s_.SendMail) {
        calls_.RevealWindow();
        const AlarmReport report{s_.ListedURL, s_.ErrorText, s_.ReplyNumber, s_.ToAddress};
        if (ticked(c_.CheckBoxMailPerCycle)) {
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
    c_.StatusBar1->setSimpleText(QStringLiteral("Sending Email "));
}
