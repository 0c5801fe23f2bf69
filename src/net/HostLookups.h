#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

// Name lookups shared by the connections of one check cycle: a host's name is looked up once,
// however many of its pages are checked, and the pages that ask while the lookup runs all get
// its answer. Forgotten when the next cycle begins, so a server that moved is found again.
class HostLookups : public QObject {
    Q_OBJECT
public:
    // The addresses of a name, IPv4 first; none when the name has none.
    using Answer = std::function<void(const QList<QHostAddress>& addresses)>;

    explicit HostLookups(QObject* parent = nullptr);
    ~HostLookups() override;

    // Answers later, from the event loop, and only while context lives. An address needs no
    // lookup and gets none.
    void find(const QString& name, QObject* context, Answer answer);
    void forget();

private:
    struct Waiter {
        QPointer<QObject> context;
        Answer answer;
    };
    struct Entry {
        bool answered = false;
        int lookupId = -1;
        QList<QHostAddress> addresses;
        QList<Waiter> waiters;
    };
    void answered(const QString& name, const QList<QHostAddress>& addresses);
    static void deliver(const Waiter& waiter, const QList<QHostAddress>& addresses);

    QHash<QString, Entry> entries_;
};
