#include "check/CycleHolds.h"

#include "pages/PageListMerge.h"
#include "pages/PageRecords.h"

namespace {

constexpr int Unknown = -2;

} // namespace

void CycleHolds::begin(const PageRecords& pages, const QList<MaintenanceWindow>& windows) {
    windows_ = windows;
    heldBehind_.clear();
    dependencies_.reset();
    const int count = pages.pageCount();
    // A window's addresses are looked up once a cycle, not once a page.
    covered_.clear();
    QHash<QString, QList<int>> positions;
    for (const MaintenanceWindow& window : windows_) {
        std::vector<bool>& covered = covered_.emplace_back();
        if (window.allPages)
            continue;
        if (positions.isEmpty())
            for (int page = 0; page < count; ++page)
                positions[pageIdentity(pages.url(page))].append(page);
        covered.assign(std::size_t(count), false);
        for (const QString& address : window.pages)
            for (int page : positions.value(pageIdentity(address)))
                covered[std::size_t(page)] = true;
    }
    QStringList dependsOn;
    bool any = false;
    for (int page = 0; page < count && !any; ++page)
        any = !pages.page(page).options ? false : !pages.page(page).options->dependsOn.isEmpty();
    if (!any) {
        addresses_.clear();
        return;
    }
    addresses_.clear();
    addresses_.reserve(count);
    dependsOn.reserve(count);
    failed_.assign(std::size_t(count), false);
    above_.assign(std::size_t(count), Unknown);
    for (int page = 0; page < count; ++page) {
        const PageRecord& record = pages.page(page);
        addresses_.append(record.url);
        dependsOn.append(record.options ? record.options->dependsOn : QString());
        failed_[std::size_t(page)] = record.streak.failedChecks > 0;
    }
    dependencies_ = std::make_unique<PageDependencies>(addresses_, dependsOn);
}

const std::vector<int>* CycleHolds::order() const {
    return dependencies_ && dependencies_->any() ? &dependencies_->order() : nullptr;
}

int CycleHolds::failingAbove(int page) {
    // Up the chain to the first page whose answer is known, then down again filling it in: each
    // page is climbed past once a cycle, however long the chains.
    std::vector<int> climbed;
    int at = page;
    while (at >= 0 && above_[std::size_t(at)] == Unknown) {
        climbed.push_back(at);
        at = dependencies_->parent(at);
    }
    int found = at >= 0 ? above_[std::size_t(at)] : -1;
    for (auto it = climbed.rbegin(); it != climbed.rend(); ++it) {
        const int parent = dependencies_->parent(*it);
        if (found < 0 && parent >= 0 && failed_[std::size_t(parent)])
            found = parent;
        above_[std::size_t(*it)] = found;
    }
    return above_[std::size_t(page)];
}

std::optional<QString> CycleHolds::openWindow(int page, const QDateTime& nowUtc) const {
    for (qsizetype index = 0; index < windows_.size(); ++index) {
        const MaintenanceWindow& window = windows_[index];
        const std::vector<bool>& covered = covered_[std::size_t(index)];
        if ((window.allPages || covered[std::size_t(page)]) && MaintenanceWindows::open(window, nowUtc))
            return window.name;
    }
    return std::nullopt;
}

std::optional<AlarmHold> CycleHolds::hold(int page, const QDateTime& nowUtc, bool failed, bool paused) {
    QString parent;
    if (failed && order()) {
        const int above = failingAbove(page);
        if (above >= 0)
            parent = addresses_[above];
    }
    std::optional<AlarmHold> held = decideHold(openWindow(page, nowUtc), paused, parent);
    if (held && held->reason == AlarmHold::Reason::Dependency)
        ++heldBehind_[parent];
    return held;
}

void CycleHolds::checked(int page, bool failed) {
    if (order())
        failed_[std::size_t(page)] = failed;
}

bool CycleHolds::hasDependents(int page) const {
    return order() && dependencies_->dependents(page) > 0;
}
