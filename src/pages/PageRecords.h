#pragma once

#include "pages/AccessHistory.h"
#include "pages/FailureStreak.h"
#include "pages/PageOptions.h"
#include "pages/PageStatus.h"

#include <QAbstractTableModel>
#include <array>
#include <map>
#include <memory>

struct AddressLogin;

// A page's last-known value and whether a change of it raises an alarm.
struct ListedValue {
    QString text;
    bool checked = false;
    bool operator==(const ListedValue&) const = default;
};

// One monitored page and everything kept for it.
struct PageRecord {
    QString url;
    bool included = true; // the cycle checks the page
    PageStatus status = PageStatus::Failed;
    std::array<ListedValue, 3> values; // size, date and signature; "-" while none is known
    AccessHistory::Row history = AccessHistory::empty();
    FailureStreak streak;
    std::shared_ptr<const PageOptions> options; // none: the plain check
    // The settings file still keeps the page's password in its address: no secret store has
    // confirmed that it holds it.
    bool passwordInSettings = false;
    // Why the page's last check raised no alarm: "maintenance", "paused", "dependency"; empty
    // when nothing held it.
    QString held;
};

// The page list: one record a page, in list order. Views show and edit it through Qt's
// model/view, one row a page: the address with its tick, the status digit, and each value with
// its check mark.
//
// The settings file keeps the address list and the three value lists in the form of the
// window's old list controls: a value list may hold rows beyond the last page (the design's
// empty rows, and the ones an add pushed along), which belong to no page but are kept and
// written back as they were.
class PageRecords : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Address, Status, Size, Date, Signature, Columns };

    PageRecords();

    int pageCount() const { return int(records_.size()); }
    const PageRecord& page(int page) const { return records_[page]; }
    QString url(int page) const { return records_[page].url; }
    bool isIncluded(int page) const { return records_[page].included; }
    // The pages ticked for the cycle.
    int includedCount() const;
    void setIncluded(int page, bool included);
    // A new address in place: the page keeps its status, values and history.
    void setAddress(int page, const QString& url);
    // The first page whose address is url, letter case ignored; -1 when none is.
    int indexOf(const QString& url) const;

    PageStatus readStatus(int page) const;
    void writeStatus(int page, PageStatus status);

    // Size, Date or Signature. Writing a value keeps its check mark as it was.
    QString value(Column column, int page) const { return listed(column, page).text; }
    bool checked(Column column, int page) const { return listed(column, page).checked; }
    void setValue(Column column, int page, const QString& text);
    void setChecked(Column column, int page, bool checked);

    const AccessHistory::Row& history(int page) const { return records_[page].history; }
    void pushAccessTime(int page, int seconds);
    // Every page's samples are gone, and no page has failed yet.
    void resetHistories();
    // What held the page's alarms at its last check (empty: nothing). The grid marks a page in
    // maintenance; a row is told of a change only, as this is set after every check.
    const QString& held(int page) const { return records_[page].held; }
    void setHeld(int page, const QString& reason);
    FailureStreak& streak(int page) { return records_[page].streak; }
    const FailureStreak& streak(int page) const { return records_[page].streak; }

    PageOptions options(int page) const;
    void setOptions(int page, const PageOptions& options);
    // A password typed into the page's address goes into its options, with the address's user;
    // an address without one changes nothing.
    void takeLogin(int page, const AddressLogin& login);
    // Whether the settings file keeps the page's password in its address, where nothing else
    // holds it.
    void setPasswordInSettings(int page, bool kept) { records_[page].passwordInSettings = kept; }
    // Some page's password is kept in the settings file.
    bool passwordsInSettings() const;
    // The address as the settings file keeps it: with its password where nothing else holds it.
    QString storedAddress(int page) const;
    // Every page is back to the plain check.
    void resetOptions();

    // Appends a ticked page with status 0, values "-", the given change checks and no options.
    // Returns the new page's position.
    int addPage(const QString& url, bool checkSize, bool checkDate, bool checkSignature);
    void deletePage(int page);
    // Keeps the pages at these positions, in this order, each once at most; the others leave
    // the list.
    void arrange(const QList<int>& positions);

    // The stored form of the address list or a value list: one entry a row. An address whose
    // password is kept in the settings file has it written back into it.
    QList<ListedValue> listed(Column column) const;
    // Takes the lists as the settings file gives them; a list it does not name stays as it is.
    // Every page gets status 0, and a value "-" where its list is short.
    void restore(const std::map<Column, QList<ListedValue>>& lists);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    static std::size_t slot(Column column) { return std::size_t(column - Size); }
    const ListedValue& listed(Column column, int page) const { return records_[page].values[slot(column)]; }
    void changed(int page, Column column);

    QList<PageRecord> records_;
    std::array<QList<ListedValue>, 3> spare_; // value rows beyond the last page
};
