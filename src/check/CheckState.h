#pragma once

#include "check/AlarmLedger.h"
#include "net/FetchResult.h"
#include "notify/ChatAlarm.h"
#include "pages/PageStatus.h"
#include "settings/AlarmCondition.h"

#include <QString>
#include <QStringList>
#include <optional>

// The run-time fields of the check cycle; nothing of it is stored.
struct CheckState {
    // Cycle.
    bool CheckRunning = false;
    bool YellowRaised = false;
    bool RedRaised = false;

    // Page.
    QString CurrentURL;                           // the page's address, replaced by each redirect target
    QString ListedURL;                            // the page's address as listed, for the alarm e-mail
    PageStatus StatusBefore = PageStatus::Failed; // where the page stood before this check
    int ElapsedSeconds = 0;
    bool TimedOut = false;
    bool InvalidHost = false;
    QString ErrorText;
    // The page's check failed: no answer, an answer the page does not accept, a failed content
    // check, or an error applying it.
    bool Failed = false;
    int ReplyNumber = 0;
    // The final status is none the page accepts (by default, 400 or more).
    bool Rejected = false;
    // Why the page's text failed its content check; empty when it passed or had none.
    QString ContentError;
    bool PlaySound = false;
    bool SendMail = false;
    // Who receives this page's alarm e-mail; one entry per firing row that ticks a recipient.
    QStringList ToAddress;
    // The page's first row fired, and the last one that coloured its status.
    std::optional<AlarmCondition> FirstRow;
    std::optional<AlarmCondition> StatusRow;
    // The page's first row with its chat box ticked, for the cycle's chat message.
    std::optional<ChatAlarm> Chat;
    // Who hears of the page's alarms now: escalation and reminders may leave some out. Of them,
    // those who heard of this outage before get a reminder, with how long it has lasted.
    AlarmLedger::Mask Told{true, true, true, true, true, true};
    AlarmLedger::Mask Reminded{};
    qint64 DownMs = 0;
    QStringList RemindAddress; // as ToAddress, for the reminder
    bool SendReminder = false;
    std::optional<ChatAlarm> ChatReminder;
    // Some recipient ticked for the page does not hear of it now: in the cycle's one mail, its
    // report goes to its own recipients only.
    bool MailExclusive = false;

    // The last request of the page: what the alarm mail's macros describe.
    FetchResult Exchange;
};
