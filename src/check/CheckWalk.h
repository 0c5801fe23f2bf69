#pragma once

#include "net/TlsClient.h"
#include "pages/PageOptions.h"
#include "pages/PageStatus.h"

#include <QObject>
#include <deque>
#include <functional>
#include <queue>
#include <vector>

class HostLookups;
class PageCheck;
class PageRecords;

// The pages of one cycle, checked side by side and handed back in list order (or in an order
// given, where some pages must come after others). A page starts
// when a slot is free and its server has fewer than PerServer of its pages under way; its result
// waits until every page before it has been handed back. Pages added during the walk wait for
// the next cycle; a page deleted during it is dropped.
//
// The cost of a page does not grow with the list: its server is found once, when the walk
// begins, the pages waiting for a server queue behind it, and the next page to start is the
// first of the servers that have room; the checks are reused from page to page.
class CheckWalk : public QObject {
    Q_OBJECT
public:
    // What browsers allow themselves: more would look like an attack to many servers.
    static constexpr int PerServer = 6;

    struct Page {
        int position = 0;           // in the page list, following the pages added and deleted before it
        int first = 0;              // in the page list when the walk began
        bool deleted = false;       // the page itself was deleted; position is where it stood
        int server = 0;             // the walk's number for the page's server
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

    // Takes the pages listed now, in the order given (every position once), or in list order.
    void begin(const std::vector<int>* order = nullptr);
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
    struct Server {
        std::deque<std::size_t> waiting; // its pages not started yet, in list order
        int running = 0;
        int limit = PerServer;
    };
    // Servers with room and a page waiting, the first page in list order first.
    using Ready = std::priority_queue<std::pair<std::size_t, int>, std::vector<std::pair<std::size_t, int>>,
                                      std::greater<>>;

    void offer(int server);
    PageCheck* takeCheck(std::size_t page);
    void checkFinished(PageCheck* check, std::size_t page);
    // A check that will not be read any more goes back to the idle ones.
    void retire(Page& page);
    void removed(int first, int last);
    void dropDeleted();
    void inserted(int first, int last);
    void reset();

    PageRecords& pages_;
    HostLookups& lookups_;
    TlsTickets tickets_;
    std::deque<Page> walk_;
    std::size_t handedBack_ = 0;
    std::vector<Server> servers_;
    Ready ready_;
    int running_ = 0;
    std::vector<PageCheck*> idle_; // checks done and handed back, to be used again
    QList<QMetaObject::Connection> listChanges_;
};
