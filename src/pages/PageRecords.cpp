#include "pages/PageRecords.h"

#include "net/AddressLogin.h"

#include <algorithm>

namespace {

const QString NoValue = QStringLiteral("-");

const ListedValue Unknown{NoValue, false};

// The digits of the statuses, shared by every page.
const QString& statusDigit(PageStatus status) {
    static const std::array<QString, 6> digits{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                               QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
    return digits[std::size_t(status)];
}

} // namespace

PageRecords::PageRecords() {
    // The window's design starts the value lists with empty, unticked rows.
    spare_ = {QList<ListedValue>(17), QList<ListedValue>(18), QList<ListedValue>(18)};
}

void PageRecords::changed(int page, Column column) {
    const QModelIndex cell = index(page, column);
    emit dataChanged(cell, cell);
}

int PageRecords::includedCount() const {
    return int(std::count_if(records_.cbegin(), records_.cend(),
                             [](const PageRecord& page) { return page.included; }));
}

void PageRecords::setIncluded(int page, bool included) {
    records_[page].included = included;
    changed(page, Address);
}

void PageRecords::setAddress(int page, const QString& url) {
    records_[page].url = url;
    changed(page, Address);
}

int PageRecords::indexOf(const QString& url) const {
    for (int page = 0; page < pageCount(); ++page)
        if (records_[page].url.compare(url, Qt::CaseInsensitive) == 0)
            return page;
    return -1;
}

PageStatus PageRecords::readStatus(int page) const {
    return page >= 0 && page < pageCount() ? records_[page].status : PageStatus::Failed;
}

void PageRecords::writeStatus(int page, PageStatus status) {
    if (page < 0 || page >= pageCount())
        return;
    records_[page].status = status;
    changed(page, Status);
}

void PageRecords::setValue(Column column, int page, const QString& text) {
    records_[page].values[slot(column)].text = text;
    changed(page, column);
}

void PageRecords::setChecked(Column column, int page, bool checked) {
    records_[page].values[slot(column)].checked = checked;
    changed(page, column);
}

void PageRecords::pushAccessTime(int page, int seconds) {
    AccessHistory::push(records_[page].history, seconds);
}

void PageRecords::setHeld(int page, const QString& reason) {
    QString& held = records_[page].held;
    if (held == reason)
        return;
    held = reason;
    emit dataChanged(index(page, 0), index(page, Columns - 1));
}

void PageRecords::resetHistories() {
    for (PageRecord& record : records_) {
        record.history = AccessHistory::empty();
        record.streak = {};
    }
}

PageOptions PageRecords::options(int page) const {
    const auto& options = records_[page].options;
    return options ? *options : PageOptions();
}

void PageRecords::setOptions(int page, const PageOptions& options) {
    records_[page].options =
        options == PageOptions() ? nullptr : std::make_shared<const PageOptions>(options);
}

void PageRecords::takeLogin(int page, const AddressLogin& login) {
    if (login.password.isEmpty())
        return;
    PageOptions options = this->options(page);
    options.user = login.user;
    options.password = login.password;
    setOptions(page, options);
}

bool PageRecords::passwordsInSettings() const {
    return std::any_of(records_.cbegin(), records_.cend(),
                       [](const PageRecord& page) { return page.passwordInSettings; });
}

QString PageRecords::storedAddress(int page) const {
    const PageRecord& record = records_[page];
    if (!record.passwordInSettings)
        return record.url;
    const PageOptions login = options(page);
    return joinLogin(record.url, login.user, login.password);
}

void PageRecords::resetOptions() {
    for (PageRecord& record : records_)
        record.options.reset();
}

int PageRecords::addPage(const QString& url, bool checkSize, bool checkDate, bool checkSignature) {
    const int page = pageCount();
    beginInsertRows({}, page, page);
    PageRecord record;
    record.url = url;
    record.values = {ListedValue{NoValue, checkSize}, ListedValue{NoValue, checkDate},
                     ListedValue{NoValue, checkSignature}};
    records_.append(std::move(record));
    // The new page takes the place of the first spare row, and one row "-" joins the end.
    for (QList<ListedValue>& spare : spare_) {
        if (!spare.isEmpty()) {
            spare.removeFirst();
            spare.append(Unknown);
        }
    }
    endInsertRows();
    return page;
}

void PageRecords::deletePage(int page) {
    if (page < 0 || page >= pageCount())
        return;
    beginRemoveRows({}, page, page);
    records_.removeAt(page);
    endRemoveRows();
}

void PageRecords::arrange(const QList<int>& positions) {
    beginResetModel();
    QList<PageRecord> kept;
    kept.reserve(positions.size());
    for (int page : positions)
        kept.append(records_[page]);
    records_ = std::move(kept);
    endResetModel();
}

QList<ListedValue> PageRecords::listed(Column column) const {
    QList<ListedValue> rows;
    rows.reserve(pageCount() + (column == Address ? 0 : spare_[slot(column)].size()));
    for (int page = 0; page < pageCount(); ++page)
        rows.append(column == Address ? ListedValue{storedAddress(page), records_[page].included}
                                      : listed(column, page));
    if (column != Address)
        rows += spare_[slot(column)];
    return rows;
}

void PageRecords::restore(const std::map<Column, QList<ListedValue>>& lists) {
    beginResetModel();
    std::array<QList<ListedValue>, 3> values;
    for (Column column : {Size, Date, Signature}) {
        const auto given = lists.find(column);
        values[slot(column)] = given != lists.end() ? given->second : listed(column);
    }
    if (const auto addresses = lists.find(Address); addresses != lists.end()) {
        records_.clear();
        records_.reserve(addresses->second.size());
        for (const ListedValue& address : addresses->second) {
            PageRecord record;
            record.url = address.text;
            record.included = address.checked;
            records_.append(std::move(record));
        }
    }
    for (std::size_t list = 0; list < values.size(); ++list) {
        const QList<ListedValue>& rows = values[list];
        for (int page = 0; page < pageCount(); ++page)
            records_[page].values[list] = page < rows.size() ? rows[page] : Unknown;
        spare_[list] = rows.mid(pageCount());
    }
    for (PageRecord& record : records_)
        record.status = PageStatus::Failed;
    endResetModel();
}

int PageRecords::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : pageCount();
}

int PageRecords::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

QVariant PageRecords::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= pageCount())
        return {};
    const PageRecord& record = records_[index.row()];
    const auto column = Column(index.column());
    const bool text = role == Qt::DisplayRole || role == Qt::EditRole;
    switch (column) {
    case Address:
        if (text)
            return record.url;
        return role == Qt::CheckStateRole ? QVariant(record.included ? Qt::Checked : Qt::Unchecked)
                                          : QVariant();
    case Status:
        return text ? QVariant(statusDigit(record.status)) : QVariant();
    case Columns:
        return {};
    default:
        if (text)
            return listed(column, index.row()).text;
        return role == Qt::CheckStateRole
                   ? QVariant(listed(column, index.row()).checked ? Qt::Checked : Qt::Unchecked)
                   : QVariant();
    }
}

bool PageRecords::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
        return false;
    const bool ticked = value.value<Qt::CheckState>() == Qt::Checked;
    if (index.column() == Address)
        setIncluded(index.row(), ticked);
    else
        setChecked(Column(index.column()), index.row(), ticked);
    return true;
}

Qt::ItemFlags PageRecords::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    return index.column() == Status ? base : base | Qt::ItemIsUserCheckable;
}
