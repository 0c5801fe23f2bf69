#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Pages that sit behind another page of the list (its "Depends on" option): when the page they
// depend on is down, their own failure is no news. Built from the list as it stands; a position
// is a page's place in it.
class PageDependencies {
public:
    // addresses: the list's pages in order; dependsOn: each page's "Depends on" (empty: none),
    // naming another page's address. A dependency that cannot hold (a page of its own, one not in
    // the list, a circle) is left out; problems() says why.
    PageDependencies(const QStringList& addresses, const QStringList& dependsOn);

    // What is wrong, one line a page: "page 3: depends on itself",
    // "page 4: depends on https://a.example/, which is not in the list",
    // "page 5: depends on https://b.example/ in a circle". Empty when every dependency holds.
    const QStringList& problems() const { return problems_; }
    bool any() const { return any_; }
    // The page that this one depends on; -1 when none.
    int parent(int position) const { return parent_[std::size_t(position)]; }
    // Every page once, each after the pages it depends on, otherwise in list order.
    const std::vector<int>& order() const { return order_; }
    // How many pages depend on this one, directly or further down.
    int dependents(int position) const { return dependents_[std::size_t(position)]; }

private:
    std::vector<int> parent_;
    std::vector<int> order_;
    std::vector<int> dependents_;
    QStringList problems_;
    bool any_ = false;
};
