#pragma once

#include <QObject>
#include <functional>

// Loading the TLS library and building the trust configuration takes up to a quarter of a
// second (when certificates are named beside the system's). It is done once, on a worker thread, so that the first https page never freezes the
// window; connections wait for it without holding anything else up.
class TlsWarmUp {
public:
    // Calls ready on the event loop once everything is loaded, and only while context lives.
    static void whenReady(QObject* context, std::function<void()> ready);
};
