#pragma once

#include <QObject>
#include <functional>

// Loading the TLS library and reading the system's certificates takes about a quarter of a
// second. It is done once, on a worker thread, so that the first https page never freezes the
// window; connections wait for it without holding anything else up.
class TlsWarmUp {
public:
    // Calls ready on the event loop once everything is loaded, and only while context lives.
    static void whenReady(QObject* context, std::function<void()> ready);
};
