#pragma once

#include "check/FiredRow.h"
#include "net/FetchResult.h"
#include "pages/PageRecords.h"

#include <QDateTime>
#include <QList>
#include <optional>

// What a page's check found, as its outcome is decided from it.
struct PageAnswer {
    QString currentUrl;    // the address last asked, after the redirects
    QString errorText;     // why no answer came; empty when one did
    bool timedOut = false; // the page's time ran out
    FetchResult exchange;  // the last request
    QByteArray body;       // read for a content check
    bool bodyCut = false;  // only the body's start was read
    qint64 elapsedMs = 0;
};

// The page as it stood before the check.
struct PageBefore {
    PageStatus status = PageStatus::Failed;
    FailureStreak streak;
    std::array<ListedValue, 3> values; // size, date, signature
};

// The settings an outcome is decided by, taken when the page started.
struct OutcomeRules {
    qint64 secondMs = 1000; // how long a second of the watchdog is
    int timeOutSeconds = 20;
    int slowSeconds = 5;
    int certificateDays = 14;
    int failCount = 1;
    QDateTime nowUtc;
    bool userAborted = false; // the user ended the cycle: a request cut short is no outage
};

// What the check of a page comes to: its status and access time, the rows of the alarm matrix
// it fires in order, the page's new values and failure streak. A pure function of the answer,
// the page's options and state before, the rules, and whether the network is down.
struct PageOutcome {
    bool failed = false;
    bool rejected = false; // the final status is none the page accepts
    bool invalidHost = false;
    int replyNumber = 0;
    int elapsedSeconds = 0;
    QString contentError;
    PageStatus status = PageStatus::Failed; // Ok or Failed, before the rows colour it
    QString statusText;                     // shown first
    QString errorText;                      // the error text before any row fires
    QList<FiredRow> rows;
    int accessTime = 0;
    FailureStreak streak;
    QString heldLine; // the failure waits for its confirmation: "Failed check 1 of 2: ..."
    std::array<ListedValue, 3> values;
    // A failure that the network being down would excuse; held: it did, and nothing fired.
    bool asksNetwork = false;
    bool heldByNetwork = false;
    // The row that would have decided the page's status had the failure not been held (by the
    // network or for its confirmation): what the history and a report say the check found.
    std::optional<AlarmCondition> heldRow;
    bool operator==(const PageOutcome&) const = default;
};

PageOutcome decideOutcome(const PageAnswer& answer, const PageOptions& options, const PageBefore& before,
                          const OutcomeRules& rules, bool networkDown);
