#pragma once

#include "history/CheckRecord.h"
#include "notify/ChatAlarm.h"
#include "settings/AlarmCondition.h"

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

class ActivityLog;
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

    // Applies the row's ticked reactions to the page; ErrorText and CurrentURL are set already.
    void fireRow(AlarmCondition condition, int page);
    // Raises the player's error when the alarm sound cannot be opened; sends the page's alarm mail
    // when its outcomes chose recipients, or keeps it for the cycle's one mail.
    void afterPage(int page);
    // Sends the cycle's chat message and its one mail, when its pages left alarms for them.
    void afterCycle();
    // A cycle starts; recoveries whose messages have all ended are announced and forgotten.
    void cycleStarted();
    // The pages whose recovery was due in a chat message or a mail that may not have gone out,
    // each with where it stood before it recovered, by address as listed.
    const QHash<QString, PageMark>& recoveriesUnderWay() const { return recoveries_; }

private:
    QString logText(AlarmCondition condition) const;
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
};
