#include "net/DnsChannel.h"

#include <QSocketNotifier>
#include <ares.h>
#include <arpa/inet.h>
#include <sys/time.h>

namespace {

struct Pending {
    DnsChannel* channel;
    DnsChannel::Answer answer;
};

QString key(const QHostAddress& server, quint16 port) {
    return server.isNull() ? QString() : server.toString() + QLatin1Char('#') + QString::number(port);
}

} // namespace

std::shared_ptr<DnsChannel> DnsChannel::shared(const QHostAddress& server, quint16 port) {
    // Per thread, as the channel's sockets belong to the thread's event loop; held weakly, so a
    // resolver no page asks any more is closed with the last probe that asked it.
    thread_local QHash<QString, std::weak_ptr<DnsChannel>> channels;
    std::weak_ptr<DnsChannel>& slot = channels[key(server, port)];
    if (std::shared_ptr<DnsChannel> channel = slot.lock())
        return channel;
    std::shared_ptr<DnsChannel> channel(new DnsChannel);
    if (!channel->open(server, port))
        return nullptr;
    slot = channel;
    return channel;
}

DnsChannel::DnsChannel() {
    static const int initialised = ares_library_init(ARES_LIB_INIT_ALL);
    Q_UNUSED(initialised);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { process(ARES_SOCKET_BAD, ARES_SOCKET_BAD); });
}

DnsChannel::~DnsChannel() {
    if (channel_)
        ares_destroy(channel_);
}

bool DnsChannel::open(const QHostAddress& server, quint16 port) {
    ares_options options{};
    options.flags = ARES_FLAG_NOCHECKRESP; // SERVFAIL and REFUSED are answers to report, not to retry
    options.timeout = FirstTryMs;
    options.tries = Tries;
    options.sock_state_cb = &DnsChannel::socketState;
    options.sock_state_cb_data = this;
    const int mask = ARES_OPT_FLAGS | ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES | ARES_OPT_SOCK_STATE_CB;
    if (ares_init_options(&channel_, &options, mask) != ARES_SUCCESS) {
        channel_ = nullptr;
        return false;
    }
    if (server.isNull())
        return true;
    ares_addr_port_node node{};
    node.udp_port = node.tcp_port = port;
    if (server.protocol() == QAbstractSocket::IPv6Protocol) {
        node.family = AF_INET6;
        const Q_IPV6ADDR bytes = server.toIPv6Address();
        memcpy(&node.addr.addr6, bytes.c, sizeof bytes.c);
    } else {
        node.family = AF_INET;
        node.addr.addr4.s_addr = htonl(server.toIPv4Address());
    }
    return ares_set_servers_ports(channel_, &node) == ARES_SUCCESS;
}

void DnsChannel::ask(const QByteArray& name, int type, Answer answer) {
    ares_query(channel_, name.constData(), 1 /* IN */, type, &DnsChannel::answered,
               new Pending{this, std::move(answer)});
    armTimer();
}

void DnsChannel::answered(void* data, int status, int, unsigned char* reply, int length) {
    const std::unique_ptr<Pending> pending(static_cast<Pending*>(data));
    if (status == ARES_EDESTRUCTION)
        return;
    // Queued: the asker may start again or go away when it hears, and neither may happen while
    // the library is in the middle of its work.
    QMetaObject::invokeMethod(
        pending->channel,
        [answer = std::move(pending->answer), status,
         bytes = QByteArray(reinterpret_cast<const char*>(reply), reply ? length : 0)] {
            answer(status, bytes);
        },
        Qt::QueuedConnection);
}

void DnsChannel::socketState(void* data, int socket, int readable, int writable) {
    auto* self = static_cast<DnsChannel*>(data);
    auto& [reader, writer] = self->notifiers_[socket];
    const auto watch = [self, socket](QSocketNotifier*& notifier, QSocketNotifier::Type type, bool wanted) {
        if (!wanted && notifier) {
            // Later: this may be the notifier whose signal is being handled.
            notifier->setEnabled(false);
            notifier->deleteLater();
            notifier = nullptr;
        } else if (wanted && !notifier) {
            notifier = new QSocketNotifier(socket, type, self);
            connect(notifier, &QSocketNotifier::activated, self, [self, type, socket] {
                type == QSocketNotifier::Read ? self->process(socket, ARES_SOCKET_BAD)
                                              : self->process(ARES_SOCKET_BAD, socket);
            });
        }
    };
    watch(reader, QSocketNotifier::Read, readable);
    watch(writer, QSocketNotifier::Write, writable);
    if (!reader && !writer)
        self->notifiers_.remove(socket);
}

void DnsChannel::process(int readable, int writable) {
    ares_process_fd(channel_, readable, writable);
    armTimer();
}

void DnsChannel::armTimer() {
    timeval wait{};
    if (!ares_timeout(channel_, nullptr, &wait))
        return timer_.stop();
    timer_.start(int(wait.tv_sec * 1000 + (wait.tv_usec + 999) / 1000));
}
