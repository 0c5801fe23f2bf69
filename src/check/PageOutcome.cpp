#include "check/PageOutcome.h"

#include "check/ChangeDetection.h"
#include "check/ContentCheck.h"
#include "check/FailureReason.h"
#include "net/Probe.h"
#include "pages/ConditionCheck.h"
#include "net/StatusCodeList.h"

#include <algorithm>
#include <climits>
#include <exception>

namespace {

constexpr qint64 SecondsPerDay = 24 * 60 * 60;

// What the check found, as a page's conditions read it.
CheckFacts facts(const PageAnswer& answer, const OutcomeRules& rules) {
    const FetchResult& exchange = answer.exchange;
    CheckFacts facts;
    if (exchange.replyNumber != 0)
        facts.status = exchange.replyNumber;
    facts.responseTimeMs = answer.elapsedMs;
    facts.connected = !exchange.remoteAddress.isNull() && answer.errorText.isEmpty();
    if (!exchange.remoteAddress.isNull())
        facts.ip = exchange.remoteAddress.toString();
    if (exchange.certificateExpiry.isValid())
        facts.certificateHours = rules.nowUtc.secsTo(exchange.certificateExpiry) / 3600;
    facts.header = exchange.header;
    facts.body = answer.body;
    facts.dnsRcode = exchange.dnsRcode;
    if (!exchange.dnsRcode.isEmpty())
        facts.dnsAnswers = exchange.dnsAnswers;
    return facts;
}

// A probe's Expect is searched for in its first reply as a page's "must contain" text is in its body.
PageOptions expected(const PageOptions& options) {
    PageOptions search;
    search.mustContain = options.expect;
    search.regularExpression = options.regularExpression;
    search.matchCase = options.matchCase;
    return search;
}

void succeed(const PageAnswer& answer, const PageBefore& before, const OutcomeRules& rules, PageOutcome& o) {
    const QString& url = answer.currentUrl;
    o.status = PageStatus::Ok;
    o.statusText = url + QStringLiteral(" is OK");
    o.rows.append({AlarmCondition::NoError, QStringLiteral("No Error"), {}});
    if (rules.slowSeconds < o.elapsedSeconds)
        o.rows.append(
            {AlarmCondition::SlowAccess,
             QStringLiteral("Slow Access: ") + QString::number(o.elapsedSeconds) + QStringLiteral(" seconds"),
             {}});
    // Size, date and signature are an http answer's; other kinds of check have none to compare.
    if (!Probe::handles(answer.currentUrl))
        o.rows += ChangeDetection::detectChanges(answer.exchange.header, o.values);
    if (const QDateTime expiry = answer.exchange.certificateExpiry; expiry.isValid()) {
        const qint64 left = rules.nowUtc.secsTo(expiry);
        // An expired certificate passes only where untrusted ones are accepted; it says so plainly.
        if (left <= rules.certificateDays * SecondsPerDay)
            o.rows.append({AlarmCondition::CertificateExpiring,
                           left < 0 ? QStringLiteral("Certificate expired ") +
                                          QString::number(-left / SecondsPerDay) + QStringLiteral(" days ago")
                                    : QStringLiteral("Certificate expires in ") +
                                          QString::number(left / SecondsPerDay) + QStringLiteral(" days"),
                           {}});
    }
    o.accessTime = o.elapsedSeconds;
    // A page is back when its last check ended red or raised its failure alarms; failures still
    // being confirmed were never announced, so their end is not either. Last, so that an alarm
    // mail of the recovery carries its text.
    if (before.status == PageStatus::RedAlarm || before.streak.alarmed)
        o.rows.append({AlarmCondition::Recovered,
                       QStringLiteral("Recovered after ") + QString::number(before.streak.failedChecks) +
                           QStringLiteral(" failed checks"),
                       {}});
    o.streak = {};
}

void fail(const PageAnswer& answer, const PageBefore& before, const OutcomeRules& rules, bool networkDown,
          const QString& reason, PageOutcome& o) {
    const QString& url = answer.currentUrl;
    o.status = PageStatus::Failed;
    o.statusText = QStringLiteral("Error retreiving ") + url;
    o.errorText = QStringLiteral("Error retrieving: ") + url;
    o.accessTime = rules.timeOutSeconds;
    QList<FiredRow> rows;
    const auto add = [&](AlarmCondition condition, const char* status, const QString& errorText) {
        rows.append({condition, errorText, url + QLatin1String(status)});
    };
    if (o.rejected)
        add(AlarmCondition::PageNotFound, " Failed", QStringLiteral("Page not found: "));
    if (o.invalidHost)
        add(AlarmCondition::HostNotFound, " Invalid Host Error", QStringLiteral("Invalid Host "));
    // A server that answered and then stalled in its body did say something: its reply is kept.
    if (answer.timedOut)
        add(AlarmCondition::TimeOut, " TimeOut Error",
            o.replyNumber ? QStringLiteral("TimedOut after reply ") + QString::number(o.replyNumber)
                          : QStringLiteral("TimedOut"));
    const bool contentFailed = !o.contentError.isEmpty();
    if (contentFailed)
        add(AlarmCondition::ContentCheckFailed, " Content Check Failed", o.contentError);
    // The commonest outage of all, a server that is down, fits none of the above. A fetch the
    // user aborted is no outage, and no failed check either.
    if (!o.rejected && !contentFailed && !o.invalidHost && !answer.timedOut && !rules.userAborted)
        add(AlarmCondition::ConnectionFailed, " Connection Failed",
            QStringLiteral("Connection failed: ") + reason);
    o.streak = before.streak;
    if (rows.isEmpty())
        return;
    // A server that answered with the wrong text proves the network up.
    o.asksNetwork = !contentFailed;
    o.heldByNetwork = o.asksNetwork && networkDown;
    if (o.heldByNetwork) {
        o.heldRow = rows.first().condition;
        return;
    }
    // A single lost answer need not wake anybody: the alarms wait for the failed check that
    // confirms the outage, and come again with every one after it.
    const int needed = std::max(1, rules.failCount);
    o.streak.alarmed = ++o.streak.failedChecks >= needed;
    if (!o.streak.alarmed) {
        o.heldRow = rows.first().condition;
        o.heldLine = QStringLiteral("Failed check ") + QString::number(o.streak.failedChecks) +
                     QStringLiteral(" of ") + QString::number(needed) + QStringLiteral(": ") + url;
        return;
    }
    o.rows = rows;
}

} // namespace

PageOutcome decideOutcome(const PageAnswer& answer, const PageOptions& options, const PageBefore& before,
                          const OutcomeRules& rules, bool networkDown) {
    PageOutcome o;
    o.values = before.values;
    o.elapsedSeconds = int(std::min<qint64>(answer.elapsedMs / std::max<qint64>(1, rules.secondMs), INT_MAX));
    o.invalidHost = answer.exchange.invalidHost;
    o.replyNumber = answer.exchange.replyNumber;
    const StatusCodeList accepted = StatusCodeList::parse(options.acceptedCodes).value_or(StatusCodeList());
    o.rejected = o.replyNumber != 0 && !accepted.accepts(o.replyNumber);
    o.failed = !answer.errorText.isEmpty() || o.rejected;
    try {
        if (!o.failed && options.contentCheck())
            o.contentError = ContentCheck::failure(
                options, ContentCheck::text(answer.body, answer.exchange.header), answer.bodyCut);
        if (!o.failed && o.contentError.isEmpty() && !options.expect.isEmpty())
            o.contentError = ContentCheck::failure(expected(options), QString::fromUtf8(answer.body), false);
        if (!o.failed && o.contentError.isEmpty() && !options.conditions.isEmpty())
            if (const std::optional<QString> unmet =
                    ConditionCheck::firstFailure(ConditionCheck::parse(options.conditions), facts(answer, rules)))
                o.contentError = QStringLiteral("Content check failed: ") + *unmet;
        o.failed = o.failed || !o.contentError.isEmpty();
        if (!answer.errorText.isEmpty())
            fail(answer, before, rules, networkDown,
                 failureReason(answer.exchange.trouble, answer.exchange.troubleDetail, answer.errorText), o);
        else if (o.failed)
            fail(answer, before, rules, networkDown, {}, o);
        else
            succeed(answer, before, rules, o);
    } catch (const std::exception& error) {
        // Whatever went wrong deciding (a memory that ran out) fails the page, and says so.
        PageOutcome failed;
        failed.values = before.values;
        failed.elapsedSeconds = o.elapsedSeconds;
        failed.replyNumber = o.replyNumber;
        failed.invalidHost = o.invalidHost;
        failed.rejected = o.rejected;
        failed.failed = true;
        fail(answer, before, rules, networkDown, QString::fromUtf8(error.what()), failed);
        return failed;
    }
    return o;
}
