#include "net/HostLookups.h"

#include "net/HostAddresses.h"

#include <QHostInfo>

HostLookups::HostLookups(QObject* parent) : QObject(parent) {}

HostLookups::~HostLookups() {
    forget();
}

void HostLookups::forget() {
    for (const Entry& entry : std::as_const(entries_))
        if (!entry.answered && entry.lookupId >= 0)
            QHostInfo::abortHostLookup(entry.lookupId);
    entries_.clear();
}

void HostLookups::deliver(const Waiter& waiter, const QList<QHostAddress>& addresses) {
    // Never from inside find, where the asker is still setting itself up; a call posted to an
    // asker that is gone by then is dropped with it.
    if (waiter.context)
        QMetaObject::invokeMethod(
            waiter.context, [answer = waiter.answer, addresses] { answer(addresses); }, Qt::QueuedConnection);
}

void HostLookups::find(const QString& name, QObject* context, Answer answer) {
    const Waiter waiter{context, std::move(answer)};
    const QString key = HostAddresses::bare(name).toLower();
    if (QHostAddress literal; literal.setAddress(key))
        return deliver(waiter, {literal});
    Entry& entry = entries_[key];
    if (entry.answered)
        return deliver(waiter, entry.addresses);
    entry.waiters.append(waiter);
    if (entry.lookupId >= 0)
        return;
    // Qt may answer from its own cache before lookupHost returns.
    entry.lookupId = -2;
    const int id = QHostInfo::lookupHost(key, this, [this, key](const QHostInfo& info) {
        answered(key, info.error() == QHostInfo::NoError ? HostAddresses::inOrder(info.addresses())
                                                         : QList<QHostAddress>());
    });
    if (const auto pending = entries_.find(key); pending != entries_.end() && !pending->answered)
        pending->lookupId = id;
}

void HostLookups::answered(const QString& name, const QList<QHostAddress>& addresses) {
    const auto entry = entries_.find(name);
    if (entry == entries_.end() || entry->answered)
        return;
    entry->answered = true;
    entry->addresses = addresses;
    for (const Waiter& waiter : std::exchange(entry->waiters, {}))
        deliver(waiter, addresses);
}
