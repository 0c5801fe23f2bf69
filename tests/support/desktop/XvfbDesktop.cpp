#include "support/desktop/XvfbDesktop.h"

#include <QDeadlineTimer>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <poll.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

template <class Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;
template <class Reply> Owned<Reply> owned(Reply* reply) {
    return Owned<Reply>(reply, &std::free);
}

} // namespace

XvfbDesktop::XvfbDesktop() {
    // The server names the display it found free on its standard output.
    server_.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp"), QStringLiteral("-noreset")});
    while (!server_.canReadLine()) {
        if (!server_.waitForReadyRead(20000))
            return;
    }
    display_ = QLatin1Char(':') + QString::fromLatin1(server_.readLine().trimmed());
    xcb_connection_t* connection = xcb_connect(display_.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    connection_ = connection;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    // Answers to pings come to the root window; what comes and goes on the screen, and the window
    // manager naming itself, show there too.
    const std::uint32_t events =
        XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &events);
    windowManager_.setProcessEnvironment(environment());
    windowManager_.start(QStringLiteral("openbox"), {});
    // A window manager in charge names itself on the root window.
    const std::uint32_t check = atom("_NET_SUPPORTING_WM_CHECK");
    ready_ = waitFor(
        [this, check](const void*) { return !property(root_, check, XCB_ATOM_WINDOW).isEmpty(); }, 20000);
}

XvfbDesktop::~XvfbDesktop() {
    if (connection_)
        xcb_disconnect(connection_);
    for (QProcess* process : {&windowManager_, &server_}) {
        process->terminate();
        process->waitForFinished(5000);
    }
}

QProcessEnvironment XvfbDesktop::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

bool XvfbDesktop::launch(QProcess& process, const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& env) {
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForStarted();
}

std::uint32_t XvfbDesktop::atom(const char* name) {
    auto reply = owned(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, std::uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : 0;
}

bool XvfbDesktop::waitFor(const std::function<bool(const void* event)>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    if (done(nullptr))
        return true;
    for (;;) {
        while (auto event = owned(xcb_poll_for_event(connection_))) {
            if (done(event.get()))
                return true;
        }
        if (deadline.hasExpired() || xcb_connection_has_error(connection_))
            return false;
        pollfd server = {xcb_get_file_descriptor(connection_), POLLIN, 0};
        ::poll(&server, 1, int(deadline.remainingTime()));
    }
}

void XvfbDesktop::sync() {
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

QByteArray XvfbDesktop::property(Window window, std::uint32_t name, std::uint32_t type) {
    auto reply = owned(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, name, type, 0, 256), nullptr));
    return reply ? QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                              xcb_get_property_value_length(reply.get()))
                 : QByteArray();
}

bool XvfbDesktop::viewable(Window window) {
    auto reply = owned(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

XvfbDesktop::Window XvfbDesktop::waitForWindow(qint64 pid, const QString& title, int timeoutMs) {
    const std::uint32_t pidAtom = atom("_NET_WM_PID");
    const QByteArray name = title.toUtf8();
    // The server sends the process id in this machine's byte order.
    const std::uint32_t ownerPid = std::uint32_t(pid);
    const QByteArray owner(reinterpret_cast<const char*>(&ownerPid), sizeof ownerPid);
    const auto matches = [&](Window window) {
        return property(window, pidAtom, XCB_ATOM_CARDINAL) == owner &&
               property(window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY) == name && viewable(window);
    };
    // The window manager puts each client window into a frame of its own.
    const std::function<Window(Window, int)> search = [&](Window parent, int depth) -> Window {
        auto tree = owned(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, parent), nullptr));
        if (!tree)
            return 0;
        const Window* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            if (matches(children[i]))
                return children[i];
            if (const Window inner = depth > 0 ? search(children[i], depth - 1) : 0)
                return inner;
        }
        return 0;
    };
    Window found = 0;
    return waitFor([&](const void*) { return (found = search(root_, 1)) != 0; }, timeoutMs) ? found : 0;
}

void XvfbDesktop::sendProtocol(Window window, const char* protocol) {
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom(protocol);
    message.data.data32[1] = XCB_CURRENT_TIME;
    message.data.data32[2] = window;
    xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    // Leaving before the server has taken the request could lose it.
    sync();
}

void XvfbDesktop::requestClose(Window window) {
    sendProtocol(window, "WM_DELETE_WINDOW");
}

bool XvfbDesktop::ping(Window window, int timeoutMs) {
    sendProtocol(window, "_NET_WM_PING");
    const std::uint32_t protocols = atom("WM_PROTOCOLS");
    const std::uint32_t pingAtom = atom("_NET_WM_PING");
    return waitFor(
        [&](const void* event) {
            const auto* answer = static_cast<const xcb_client_message_event_t*>(event);
            return answer && (answer->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                   answer->type == protocols && answer->data.data32[0] == pingAtom &&
                   answer->data.data32[2] == window;
        },
        timeoutMs);
}

void XvfbDesktop::fakeInput(std::uint8_t type, std::uint8_t detail, Window root, int x, int y) {
    xcb_test_fake_input(connection_, type, detail, XCB_CURRENT_TIME, root, std::int16_t(x), std::int16_t(y),
                        XCB_NONE);
}

void XvfbDesktop::click(Window window, int x, int y) {
    auto onScreen = owned(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, std::int16_t(x), std::int16_t(y)),
        nullptr));
    if (!onScreen)
        return;
    fakeInput(XCB_MOTION_NOTIFY, 0, root_, onScreen->dst_x, onScreen->dst_y);
    fakeInput(XCB_BUTTON_PRESS, 1);
    fakeInput(XCB_BUTTON_RELEASE, 1);
    sync();
}
