#include "check/CheckWalk.h"

#include "check/PageCheck.h"
#include "net/HostLookups.h"
#include "net/UrlParser.h"
#include "pages/PageRecords.h"

#include <QHash>
#include <QTimer>
#include <climits>

bool CheckWalk::Page::done() const {
    return excluded || (check && !check->running());
}

CheckWalk::CheckWalk(PageRecords& pages, HostLookups& lookups, QObject* parent)
    : QObject(parent), pages_(pages), lookups_(lookups) {}

CheckWalk::~CheckWalk() {
    end();
    // Before the lookups and tickets they use go.
    qDeleteAll(idle_);
}

void CheckWalk::begin(const std::vector<int>* order) {
    end();
    lookups_.forget();
    QHash<QString, int> numbers;
    for (int next = 0; next < pages_.pageCount(); ++next) {
        const int position = order ? (*order)[std::size_t(next)] : next;
        // An address that names no server is held back by none.
        const QString name = UrlParser::server(pages_.url(position));
        auto number = numbers.find(name);
        if (number == numbers.end()) {
            number = numbers.insert(name, int(servers_.size()));
            servers_.push_back({});
            if (name.isEmpty())
                servers_.back().limit = INT_MAX;
        }
        servers_[*number].waiting.push_back(walk_.size());
        Page& page = walk_.emplace_back();
        page.position = position;
        page.first = position;
        page.server = *number;
    }
    for (int server = 0; server < int(servers_.size()); ++server)
        offer(server);
    listChanges_ = {connect(&pages_, &QAbstractItemModel::rowsRemoved, this,
                            [this](const QModelIndex&, int first, int last) { removed(first, last); }),
                    connect(&pages_, &QAbstractItemModel::rowsInserted, this,
                            [this](const QModelIndex&, int first, int last) { inserted(first, last); }),
                    connect(&pages_, &QAbstractItemModel::modelReset, this, &CheckWalk::reset)};
}

// The server takes part in the choice of the next page while it has room and a page waiting.
void CheckWalk::offer(int server) {
    const Server& s = servers_[server];
    if (s.running < s.limit && !s.waiting.empty())
        ready_.push({s.waiting.front(), server});
}

void CheckWalk::fill(int limit, const std::function<void(Page&)>& start) {
    while (running_ < limit && !ready_.empty()) {
        const auto [index, server] = ready_.top();
        ready_.pop();
        Server& s = servers_[server];
        // A server offered twice (it got room back) is in the queue twice; only its first page counts.
        if (s.waiting.empty() || s.waiting.front() != index || s.running >= s.limit)
            continue;
        s.waiting.pop_front();
        Page& page = walk_[index];
        if (page.deleted) {
            offer(server);
            continue;
        }
        if (!pages_.isIncluded(page.position)) {
            page.excluded = true;
            offer(server);
            continue;
        }
        ++running_;
        ++s.running;
        page.check = takeCheck(index);
        offer(server);
        start(page);
    }
}

PageCheck* CheckWalk::takeCheck(std::size_t page) {
    PageCheck* check = nullptr;
    if (idle_.empty()) {
        check = new PageCheck(lookups_, tickets_, this);
    } else {
        check = idle_.back();
        idle_.pop_back();
    }
    disconnect(check, &PageCheck::finished, this, nullptr);
    connect(check, &PageCheck::finished, this, [this, check, page] { checkFinished(check, page); });
    return check;
}

void CheckWalk::checkFinished(PageCheck* check, std::size_t page) {
    disconnect(check, &PageCheck::finished, this, nullptr);
    --running_;
    const int server = walk_[page].server;
    --servers_[server].running;
    offer(server);
    emit progressed();
}

CheckWalk::Page* CheckWalk::head() {
    return handedBack_ < walk_.size() ? &walk_[handedBack_] : nullptr;
}

void CheckWalk::pop() {
    retire(walk_[handedBack_++]);
}

void CheckWalk::retire(Page& page) {
    if (PageCheck* check = std::exchange(page.check, nullptr)) {
        disconnect(check, &PageCheck::finished, this, nullptr);
        check->stop(false);
        idle_.push_back(check);
    }
}

const CheckWalk::Page* CheckWalk::firstWaiting() const {
    for (std::size_t i = handedBack_; i < walk_.size(); ++i) {
        const Page& page = walk_[i];
        if (!page.deleted && !page.done())
            return &page;
    }
    return nullptr;
}

void CheckWalk::forEachRunning(const std::function<void(Page&)>& action) {
    for (std::size_t i = handedBack_; i < walk_.size(); ++i)
        if (Page& page = walk_[i]; page.check && page.check->running())
            action(page);
}

void CheckWalk::removed(int first, int last) {
    const int count = last - first + 1;
    for (std::size_t i = handedBack_; i < walk_.size(); ++i) {
        Page& page = walk_[i];
        if (page.deleted || page.position < first)
            continue;
        if (page.position > last) {
            page.position -= count;
        } else {
            page.deleted = true;
            page.position = first;
        }
    }
    // Once the list has told everybody of the change.
    QTimer::singleShot(0, this, &CheckWalk::dropDeleted);
}

void CheckWalk::dropDeleted() {
    // Nobody will read a deleted page's answer: its slot is free at once.
    forEachRunning([](Page& page) {
        if (page.deleted)
            page.check->stop(false);
    });
    emit progressed();
}

void CheckWalk::inserted(int first, int last) {
    for (std::size_t i = handedBack_; i < walk_.size(); ++i) {
        Page& page = walk_[i];
        // Once a page is gone its position is the gap it left: a page inserted right there comes
        // after the deleted one, so it is still ahead.
        if (first < page.position || (first == page.position && !page.deleted))
            page.position += last - first + 1;
    }
}

// A list loaded afresh holds other pages: nothing of the walk's is left.
void CheckWalk::reset() {
    removed(0, INT_MAX / 2);
}

void CheckWalk::end() {
    for (const QMetaObject::Connection& connection : std::exchange(listChanges_, {}))
        disconnect(connection);
    for (Page& page : walk_)
        retire(page);
    walk_.clear();
    handedBack_ = 0;
    servers_.clear();
    ready_ = {};
    running_ = 0;
}
