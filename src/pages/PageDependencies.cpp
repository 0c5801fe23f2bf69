#include "pages/PageDependencies.h"

#include "pages/PageListMerge.h"

#include <QHash>
#include <utility>

namespace {

QString pageNumber(int position) {
    return QStringLiteral("page ") + QString::number(position + 1);
}

} // namespace

PageDependencies::PageDependencies(const QStringList& addresses, const QStringList& dependsOn)
    : parent_(std::size_t(addresses.size()), -1), dependents_(std::size_t(addresses.size()), 0) {
    const int count = int(addresses.size());
    QHash<QString, int> positions;
    positions.reserve(count);
    for (int page = count - 1; page >= 0; --page)
        positions.insert(pageIdentity(addresses[page]), page);
    // Problems are said in list order, whichever check finds them.
    std::vector<QString> problem(static_cast<std::size_t>(count));
    for (int page = 0; page < count && page < dependsOn.size(); ++page) {
        if (dependsOn[page].isEmpty())
            continue;
        const int parent = positions.value(pageIdentity(dependsOn[page]), -1);
        if (parent == page)
            problem[std::size_t(page)] = QStringLiteral("depends on itself");
        else if (parent < 0)
            problem[std::size_t(page)] = QStringLiteral("depends on ") + dependsOn[page] +
                                         QStringLiteral(", which is not in the list");
        else
            parent_[std::size_t(page)] = parent;
    }
    // Each page has one parent at most, so a walk up from any page either ends at a page without
    // one or runs into a circle. Each page is walked once: a walk stops at a page walked before.
    enum Mark : char { Unwalked, Walking, Walked };
    std::vector<Mark> marks(std::size_t(count), Unwalked);
    std::vector<int> path;
    for (int first = 0; first < count; ++first) {
        int page = first;
        while (page >= 0 && marks[std::size_t(page)] == Unwalked) {
            marks[std::size_t(page)] = Walking;
            path.push_back(page);
            page = parent_[std::size_t(page)];
        }
        // Walking means the walk came back to a page of its own: the pages from it on form a circle.
        if (page >= 0 && marks[std::size_t(page)] == Walking) {
            const int entry = page;
            do {
                problem[std::size_t(page)] =
                    QStringLiteral("depends on ") + dependsOn[page] + QStringLiteral(" in a circle");
                page = std::exchange(parent_[std::size_t(page)], -1);
            } while (page != entry);
        }
        for (const int walked : path)
            marks[std::size_t(walked)] = Walked;
        path.clear();
    }
    for (int page = 0; page < count; ++page) {
        if (!problem[std::size_t(page)].isEmpty())
            problems_.append(pageNumber(page) + QStringLiteral(": ") + problem[std::size_t(page)]);
        any_ = any_ || parent_[std::size_t(page)] >= 0;
    }
    // Each page after its parent: a page not yet placed takes the pages above it first that are
    // not placed either, topmost first, so that a page stays near its place in the list.
    order_.reserve(std::size_t(count));
    std::vector<bool> placed(std::size_t(count), false);
    for (int first = 0; first < count; ++first) {
        for (int page = first; page >= 0 && !placed[std::size_t(page)]; page = parent_[std::size_t(page)])
            path.push_back(page);
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            placed[std::size_t(*it)] = true;
            order_.push_back(*it);
        }
        path.clear();
    }
    // Every page comes after its parent in that order, so going backwards counts a page's own
    // dependents before it is added to its parent's.
    for (auto it = order_.rbegin(); it != order_.rend(); ++it)
        if (const int parent = parent_[std::size_t(*it)]; parent >= 0)
            dependents_[std::size_t(parent)] += dependents_[std::size_t(*it)] + 1;
}
