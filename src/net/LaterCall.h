#pragma once

#include <QMetaObject>
#include <QObject>

// Runs action from the event loop, unless the owner's generation has moved on by then (it was
// stopped or started again): what was meant for an earlier start is dropped.
template <class Action> void callLater(QObject* owner, const quint64& generation, Action action) {
    QMetaObject::invokeMethod(
        owner,
        [&generation, started = generation, action] {
            if (generation == started)
                action();
        },
        Qt::QueuedConnection);
}
