#pragma once

#include "pages/AccessHistory.h"
#include "pages/FailureStreak.h"
#include "pages/PageOptions.h"
#include "pages/PageRows.h"
#include "pages/PageStatus.h"

#include <QString>

struct AddressLogin;
class QListWidget;
class TCheckListBox;

// The per-page state beside the page list: row i of every list belongs to page i. The
// lists may hold more rows than there are pages; those rows mean nothing.
class PageRecords {
public:
    struct Controls {
        TCheckListBox* CheckListBoxURL;
        QListWidget* ListBoxStatus;
        TCheckListBox* SizeList;
        TCheckListBox* LastDateList;
        TCheckListBox* SignatureList;
    };

    explicit PageRecords(const Controls& controls);

    int pageCount() const;
    QString url(int page) const;
    bool isIncluded(int page) const;

    PageStatus readStatus(int page) const;
    void writeStatus(int page, PageStatus status);

    // Writing a value keeps the row's check mark as it was.
    static QString readValue(const TCheckListBox* list, int page);
    static bool readCheck(const TCheckListBox* list, int page);
    static void writeValue(TCheckListBox* list, int page, const QString& text);

    AccessHistory& history() { return history_; }
    const AccessHistory& history() const { return history_; }
    FailureStreaks& streaks() { return streaks_; }

    PageOptions options(int page) const { return options_.row(page); }
    void setOptions(int page, const PageOptions& options) { options_.grownTo(page) = options; }
    // A password typed into the page's address goes into its options, with the address's user;
    // an address without one changes nothing.
    void takeLogin(int page, const AddressLogin& login);
    // Every page is back to the plain check.
    void resetOptions() { options_.reset(pageCount()); }

    // Appends a ticked page with status "0", values "-", the given change-check options and no
    // page options.
    // Returns the new page's position.
    int addPage(const QString& url, bool checkSize, bool checkDate, bool checkSignature);
    void deletePage(int page);

    // After the lists were restored: every page gets a status row "0" and a value row in each
    // value list, every history sample becomes "no sample", and no page has failed yet.
    void alignAfterRestore();
    void resetHistories();

    const Controls& controls() const { return c_; }

private:
    Controls c_;
    AccessHistory history_;
    FailureStreaks streaks_;
    PageRows<PageOptions> options_;
};
