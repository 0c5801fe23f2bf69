#pragma once

#include "check/AlarmHold.h"
#include "check/AlarmLedger.h"
#include "history/CheckRecord.h"
#include "notify/ChatAlarm.h"
#include "settings/AlarmCondition.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>

class ActivityLog;
struct AlarmReport;
class AlarmMailSender;
class ChatSender;
class PageRecords;
class Settings;
class StatusLine;
struct CheckState;

// Turns the outcome rows that hold for a page into the reactions ticked in the alarm matrix,
// and after the page raises what they asked for: tray picture, sound, window, e-mail.
class AlarmDispatch {
public:
    struct Controls {
        // The alarm matrix, the recipients, one mail a cycle, the sound files.
        const Settings* settings;
        StatusLine* status;
    };
    struct Calls {
        std::function<void(int)> ShowTrayState;
        std::function<void()> RevealWindow;
        // Plays a sound file as its field names it, raising why it cannot; empty plays none.
        std::function<void(const QString&)> PlaySound;
    };

    AlarmDispatch(const Controls& controls, const Calls& calls, PageRecords& pages, ActivityLog& log,
                  CheckState& state, AlarmMailSender& mail, ChatSender& chat);

    // A page's rows are about to fire. failing: they are the alarms of its failure; held: what
    // holds them back, if anything. Decides who hears of them.
    void beforeRows(bool failing, const std::optional<AlarmHold>& held);
    // Applies the row's ticked reactions to the page; ErrorText and CurrentURL are set already.
    // A held row only logs, except a recovery: whoever heard of the failure hears of its end.
    // Returns whether the hold kept a reaction back.
    bool fireRow(AlarmCondition condition, int page, bool held = false);
    // Raises the player's error when the alarm sound cannot be opened; sends the page's alarm mail
    // when its outcomes chose recipients, or keeps it for the cycle's one mail. heldCount: pages
    // depend on this one, and its messages say how many of them were held, once that is known.
    void afterPage(int page, bool heldCount = false);
    // Sends the cycle's chat message and its one mail, when its pages left alarms for them;
    // heldBehind: the pages held this cycle because another was down, by its address.
    void afterCycle(const QHash<QString, int>& heldBehind = {});
    // A cycle starts; recoveries whose messages have all ended are announced and forgotten.
    void cycleStarted();
    // The pages whose recovery was due in a chat message or a mail that may not have gone out,
    // each with where it stood before it recovered, by address as listed.
    const QHash<QString, PageMark>& recoveriesUnderWay() const { return recoveries_; }
    // Where reminders and escalation read the time (ms since 1970); a test moves it on.
    void setClock(std::function<qint64()> nowMs) { nowMs_ = std::move(nowMs); }

private:
    struct ComposedMail {
        QString page;
        QString text;
        QStringList recipients;
    };

    QString logText(AlarmCondition condition) const;
    AlarmLedger::Rules ledgerRules() const;
    void addRecipient(AlarmReaction reaction, const QString& address, bool ticked);
    void chatAlarm(AlarmCondition condition);
    void sendReport(const AlarmReport& report, bool heldCount);
    void sendingMail();

    Controls c_;
    Calls calls_;
    PageRecords& pages_;
    ActivityLog& log_;
    CheckState& s_;
    AlarmMailSender& mail_;
    ChatSender& chat_;
    QList<ChatAlarm> cycleChat_;
    QHash<QString, PageMark> recoveries_;
    AlarmLedger ledger_;
    std::function<qint64()> nowMs_ = &QDateTime::currentMSecsSinceEpoch;
    // Mails that wait for the count of the pages held behind theirs, and the pages they are for.
    QList<ComposedMail> waitingMails_;
    QStringList counted_;
};
