#pragma once

#include "notify/AlarmMailSender.h"

#include <QStringList>
#include <QTest>

// The alarm mails of a cycle go out after it: runs the fixture's cycle and waits until every
// mail it queued has ended (sent or not), then gives the log lines of both.
template <typename Fixture> QStringList runCycleAndMail(Fixture& f) {
    const qsizetype before = f.logLines().size();
    f.runCycle();
    if (!QTest::qWaitFor([&] { return f.m().mailSender().MailQueueEmpty(); }, 60000))
        return {QStringLiteral("The mail did not end")};
    return f.logLines().mid(before);
}
