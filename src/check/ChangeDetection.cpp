#include "check/ChangeDetection.h"

#include "check/AlarmDispatch.h"
#include "check/CheckState.h"
#include "check/HeaderFields.h"
#include "check/PageSignature.h"
#include "pages/PageRecords.h"

namespace {
const QString NoValue = QStringLiteral("-");
}

ChangeDetection::ChangeDetection(PageRecords& pages, CheckState& state, AlarmDispatch& dispatch)
    : pages_(pages), s_(state), dispatch_(dispatch) {}

void ChangeDetection::detectChanges(int page, const QString& header) {
    checkSize(page, header);
    checkSignature(page, header);
    checkDate(page, header);
}

void ChangeDetection::checkSize(int page, const QString& header) {
    const int now = HeaderFields::HeaderContentLength(header);
    // A missing, unreadable or zero length says nothing about the page (dynamic pages often
    // answer HEAD without one): it neither counts as a change nor replaces a known size.
    if (now <= 0)
        return;
    const QString stored = pages_.value(PageRecords::Size, page);
    if (stored != NoValue) {
        bool ok = false;
        const int before = stored.toInt(&ok);
        if (now != (ok ? before : 0) && pages_.checked(PageRecords::Size, page)) {
            s_.ErrorText = QStringLiteral("Page Size Changed: old=") + stored + QStringLiteral(" new=") +
                           QString::number(now) + QStringLiteral(" ");
            dispatch_.fireRow(AlarmCondition::SizeChanged, page);
        }
    }
    pages_.setValue(PageRecords::Size, page, QString::number(now));
}

void ChangeDetection::checkSignature(int page, const QString& header) {
    const QString now = HeaderFields::HeaderETag(header);
    compareAndStore(page, PageRecords::Signature, now, PageSignature::stored(now), &PageSignature::shown,
                    QStringLiteral("Page Signature Changed: old="), AlarmCondition::SignatureChanged);
}

void ChangeDetection::checkDate(int page, const QString& header) {
    const QString now = HeaderFields::HeaderLastModified(header);
    compareAndStore(page, PageRecords::Date, now, now, nullptr, QStringLiteral("Page Date Changed: old="),
                    AlarmCondition::DateChanged);
}

void ChangeDetection::compareAndStore(int page, PageRecords::Column list, const QString& now,
                                      const QString& nowStored, QString (*shown)(const QString&),
                                      const QString& prefix, AlarmCondition condition) {
    // A field the server did not send is unknown, not changed: the known value stays.
    if (now.isEmpty())
        return;
    const QString stored = pages_.value(list, page);
    if (stored != NoValue && nowStored != stored && pages_.checked(list, page)) {
        s_.ErrorText = prefix + (shown ? shown(stored) : stored) + QStringLiteral(" new=") + now;
        dispatch_.fireRow(condition, page);
    }
    pages_.setValue(list, page, nowStored);
}
