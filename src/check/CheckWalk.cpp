#include "check/CheckWalk.h"

#include "check/PageCheck.h"
#include "net/HostLookups.h"
#include "net/UrlParser.h"
#include "pages/PageCursor.h"
#include "pages/PageRecords.h"

#include <QAbstractItemModel>
#include <algorithm>

bool CheckWalk::Page::done() const {
    return excluded || (check && !check->running());
}

CheckWalk::CheckWalk(PageRecords& pages, HostLookups& lookups, QObject* parent)
    : QObject(parent), pages_(pages), lookups_(lookups) {}

CheckWalk::~CheckWalk() {
    end();
}

void CheckWalk::begin() {
    end();
    lookups_.forget();
    for (int position = 0; position < pages_.pageCount(); ++position) {
        Page page;
        page.cursor = std::make_unique<PageCursor>(pages_, position);
        walk_.push_back(std::move(page));
    }
    // After the cursors, so they know of a deletion before the walk looks.
    listChanges_ = {connect(&pages_, &QAbstractItemModel::rowsRemoved, this, &CheckWalk::dropDeleted),
                    connect(&pages_, &QAbstractItemModel::modelReset, this, &CheckWalk::dropDeleted)};
}

void CheckWalk::dropDeleted() {
    // Nobody will read a deleted page's answer: its slot is free at once.
    forEachRunning([](Page& page) {
        if (page.cursor->deleted())
            page.check->stop(false);
    });
    emit progressed();
}

void CheckWalk::fill(int limit, const std::function<void(Page&)>& start) {
    // Pages handed back are gone: with a limit lowered below the checks running, the walk may
    // have handed back pages it has not passed over since.
    firstUnstarted_ = std::max(firstUnstarted_, handedBack_);
    for (std::size_t i = firstUnstarted_; i < walk_.size() && running_ < limit; ++i) {
        Page& page = walk_[i];
        if (page.started() || page.cursor->deleted()) {
            if (i == firstUnstarted_)
                ++firstUnstarted_;
            continue;
        }
        // Taken once: a page whose server is busy is passed over again on every finished check.
        if (!page.serverKnown) {
            page.server = UrlParser::server(pages_.url(page.cursor->position()));
            page.serverKnown = true;
        }
        if (!page.server.isEmpty() && perServer_.value(page.server) >= PerServer)
            continue;
        if (!pages_.isIncluded(page.cursor->position())) {
            page.excluded = true;
            continue;
        }
        ++running_;
        ++perServer_[page.server];
        page.check = new PageCheck(lookups_, tickets_, this);
        connect(page.check, &PageCheck::finished, this, [this, server = page.server] {
            --running_;
            --perServer_[server];
            emit progressed();
        });
        start(page);
    }
}

CheckWalk::Page* CheckWalk::head() {
    return handedBack_ < walk_.size() ? &walk_[handedBack_] : nullptr;
}

void CheckWalk::pop() {
    Page& page = walk_[handedBack_++];
    if (page.check) {
        page.check->deleteLater();
        page.check = nullptr;
    }
    page.cursor.reset();
}

const CheckWalk::Page* CheckWalk::firstWaiting() const {
    for (std::size_t i = handedBack_; i < walk_.size(); ++i) {
        const Page& page = walk_[i];
        if (!page.cursor->deleted() && !page.done())
            return &page;
    }
    return nullptr;
}

void CheckWalk::forEachRunning(const std::function<void(Page&)>& action) {
    for (std::size_t i = handedBack_; i < walk_.size(); ++i)
        if (Page& page = walk_[i]; page.check && page.check->running())
            action(page);
}

void CheckWalk::end() {
    for (const QMetaObject::Connection& connection : std::exchange(listChanges_, {}))
        disconnect(connection);
    for (Page& page : walk_)
        if (page.check) {
            page.check->stop(false);
            page.check->deleteLater();
        }
    walk_.clear();
    handedBack_ = 0;
    firstUnstarted_ = 0;
    running_ = 0;
    perServer_.clear();
}
