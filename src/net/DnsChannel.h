#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class QSocketNotifier;
struct ares_channeldata;

// One resolver library channel, driven by this thread's event loop: a socket notifier for each of
// its sockets and a timer for its next time-out, so no lookup ever blocks the thread. The probes
// that ask the same resolver share one channel, and with it its sockets: a walk over thousands of
// dns pages opens a handful of sockets, not one per page.
class DnsChannel : public QObject {
    Q_OBJECT
public:
    // The resolver library's status and the answer's bytes.
    using Answer = std::function<void(int status, const QByteArray& answer)>;

    // How long the first try waits; each next one waits twice as long, so that with the tries a
    // silent server is asked again for over a minute, longer than a page waits.
    static constexpr int FirstTryMs = 2000;
    static constexpr int Tries = 5;

    // The channel of this thread for the server (a null address: the system's resolvers), made
    // when no probe holds one. Null when the library cannot make one.
    static std::shared_ptr<DnsChannel> shared(const QHostAddress& server, quint16 port);
    ~DnsChannel() override;

    // Asks for the records of the type (class IN). The answer comes later from the event loop,
    // never from inside ask; the one that asked tells a stale answer from its own.
    void ask(const QByteArray& name, int type, Answer answer);

private:
    DnsChannel();
    bool open(const QHostAddress& server, quint16 port);
    static void socketState(void* data, int socket, int readable, int writable);
    static void answered(void* data, int status, int timeouts, unsigned char* answer, int length);
    void process(int readable, int writable);
    void armTimer();

    ares_channeldata* channel_ = nullptr;
    QHash<int, std::pair<QSocketNotifier*, QSocketNotifier*>> notifiers_; // read, write
    QTimer timer_;
};
