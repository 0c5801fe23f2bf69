#pragma once

#include "check/AlarmHold.h"
#include "pages/MaintenanceWindow.h"
#include "pages/PageDependencies.h"

#include <QHash>
#include <memory>
#include <optional>
#include <vector>

class PageRecords;

// What the holds of one cycle need, taken when it starts: the maintenance windows, and which page
// depends on which, with where each page's own last check left
// it. A page is named by its place in the list when the cycle began.
class CycleHolds {
public:
    void begin(const PageRecords& pages, const QList<MaintenanceWindow>& windows);

    // The order the cycle decides its pages in, each after the pages it depends on; null when no
    // page depends on another, and the list's order holds.
    const std::vector<int>* order() const;
    // What holds the page's alarms now. failed: the page's check failed; only a failure waits
    // for the page it depends on. paused: all alarms are, at this moment.
    std::optional<AlarmHold> hold(int page, const QDateTime& nowUtc, bool failed, bool paused);
    // The page's check was applied: the pages behind it see how it went.
    void checked(int page, bool failed);
    // Pages depend on this one, so its alarm waits for their count.
    bool hasDependents(int page) const;
    // The pages held this cycle because this one was down, by its address as listed.
    const QHash<QString, int>& heldBehind() const { return heldBehind_; }

private:
    // The first window open now that covers the page.
    std::optional<QString> openWindow(int page, const QDateTime& nowUtc) const;
    // The page furthest up the chain above this one that failed its last check; -1 when none.
    int failingAbove(int page);

    QList<MaintenanceWindow> windows_;
    // Of each window that names its pages, which pages of the list it covers.
    std::vector<std::vector<bool>> covered_;
    std::unique_ptr<PageDependencies> dependencies_;
    QStringList addresses_;
    std::vector<bool> failed_;
    std::vector<int> above_; // failingAbove, once known this cycle; Unknown before
    QHash<QString, int> heldBehind_;
};
