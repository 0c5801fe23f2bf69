#include "check/ChangeDetection.h"

#include "check/HeaderFields.h"
#include "check/PageSignature.h"

namespace {

const QString NoValue = QStringLiteral("-");

enum Slot { Size, Date, Signature };

void checkSize(const QString& header, ListedValue& stored, QList<FiredRow>& rows) {
    const int now = HeaderFields::HeaderContentLength(header);
    // A missing, unreadable or zero length says nothing about the page (dynamic pages often
    // answer HEAD without one): it neither counts as a change nor replaces a known size.
    if (now <= 0)
        return;
    if (stored.text != NoValue) {
        bool ok = false;
        const int before = stored.text.toInt(&ok);
        if (now != (ok ? before : 0) && stored.checked)
            rows.append({AlarmCondition::SizeChanged,
                         QStringLiteral("Page Size Changed: old=") + stored.text + QStringLiteral(" new=") +
                             QString::number(now) + QStringLiteral(" "),
                         {}});
    }
    stored.text = QString::number(now);
}

// Text values (signature, date): nowStored is the form kept in the list, shown turns a kept form
// back into the value for the alarm text (null when they are the same).
void compareAndStore(ListedValue& stored, const QString& now, const QString& nowStored,
                     QString (*shown)(const QString&), const QString& prefix, AlarmCondition condition,
                     QList<FiredRow>& rows) {
    // A field the server did not send is unknown, not changed: the known value stays.
    if (now.isEmpty())
        return;
    if (stored.text != NoValue && nowStored != stored.text && stored.checked)
        rows.append({condition,
                     prefix + (shown ? shown(stored.text) : stored.text) + QStringLiteral(" new=") + now,
                     {}});
    stored.text = nowStored;
}

} // namespace

QList<FiredRow> ChangeDetection::detectChanges(const QString& header, std::array<ListedValue, 3>& values) {
    QList<FiredRow> rows;
    checkSize(header, values[Size], rows);
    const QString etag = HeaderFields::HeaderETag(header);
    compareAndStore(values[Signature], etag, PageSignature::stored(etag), &PageSignature::shown,
                    QStringLiteral("Page Signature Changed: old="), AlarmCondition::SignatureChanged, rows);
    const QString date = HeaderFields::HeaderLastModified(header);
    compareAndStore(values[Date], date, date, nullptr, QStringLiteral("Page Date Changed: old="),
                    AlarmCondition::DateChanged, rows);
    return rows;
}
