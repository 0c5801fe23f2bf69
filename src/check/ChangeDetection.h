#pragma once

#include "pages/PageRecords.h"

#include "settings/AlarmCondition.h"

#include <QString>

class AlarmDispatch;
class PageRecords;
struct CheckState;

// Compares a page's size, signature and date from the response header with what was seen
// before, fires the matching rows and stores the new values.
class ChangeDetection {
public:
    ChangeDetection(PageRecords& pages, CheckState& state, AlarmDispatch& dispatch);

    void detectChanges(int page, const QString& header);

private:
    void checkSize(int page, const QString& header);
    void checkSignature(int page, const QString& header);
    void checkDate(int page, const QString& header);
    // Text values (signature, date): nowStored is the form kept in the list, shown turns a
    // kept form back into the value for the alarm text (null when they are the same).
    void compareAndStore(int page, PageRecords::Column list, const QString& now, const QString& nowStored,
                         QString (*shown)(const QString&), const QString& prefix, AlarmCondition condition);

    PageRecords& pages_;
    CheckState& s_;
    AlarmDispatch& dispatch_;
};
