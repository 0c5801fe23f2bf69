#pragma once

#include "net/TlsClient.h"
#include "pages/PageOptions.h"
#include "pages/PageStatus.h"

#include <QHash>
#include <QObject>
#include <deque>
#include <functional>
#include <memory>

class HostLookups;
class PageCheck;
class PageCursor;
class PageRecords;

// The pages of one cycle, checked side by side and handed back in list order. A page starts
// when a slot is free and its server has fewer than PerServer of its pages under way; its result
// waits until every page before it has been handed back. Pages added during the walk wait for
// the next cycle; a page deleted during it is dropped.
class CheckWalk : public QObject {
    Q_OBJECT
public:
    // What browsers allow themselves: more would look like an attack to many servers.
    static constexpr int PerServer = 6;

    struct Page {
        std::unique_ptr<PageCursor> cursor;
        QString server; // "host:port" of the page's own address; empty when it names none
        bool serverKnown = false;
        PageCheck* check = nullptr; // once started
        bool excluded = false;      // unticked when its turn came
        // Taken when the page started.
        QString listedUrl;
        qint64 startedAtMs = 0; // UTC
        PageStatus before = PageStatus::Failed;
        PageOptions options;
        qint64 secondMs = 1000; // how long a second of the page's watchdog is
        int timeOutSeconds = 0;
        qint64 deadlineMs = 0; // from the page's first request on
        int slowSeconds = 0;
        bool started() const { return check || excluded; }
        bool done() const;
    };

    CheckWalk(PageRecords& pages, HostLookups& lookups, QObject* parent = nullptr);
    ~CheckWalk() override;

    // Takes the pages listed now.
    void begin();
    // Starts waiting pages in list order while fewer than limit run. start sets a page up and
    // starts its check; an unticked page is passed by as excluded instead.
    void fill(int limit, const std::function<void(Page&)>& start);
    // The first page not handed back yet; null when the walk is through.
    Page* head();
    // The head was handed back (or dropped).
    void pop();
    // The first page, in list order, that is still waiting for its answer; null when none is.
    const Page* firstWaiting() const;
    void forEachRunning(const std::function<void(Page&)>& action);
    // Ends the walk: every check still running stops; nothing is handed back any more.
    void end();

signals:
    // A check finished, or pages were deleted: a slot may be free, or the head done.
    void progressed();

private:
    void dropDeleted();

    PageRecords& pages_;
    HostLookups& lookups_;
    TlsTickets tickets_;
    std::deque<Page> walk_;
    std::size_t handedBack_ = 0;
    std::size_t firstUnstarted_ = 0; // no page before it waits to start
    int running_ = 0;
    QHash<QString, int> perServer_; // running checks by server
    QList<QMetaObject::Connection> listChanges_;
};
