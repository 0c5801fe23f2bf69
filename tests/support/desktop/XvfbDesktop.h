#pragma once

#include <QProcess>
#include <QString>
#include <cstdint>
#include <functional>

struct xcb_connection_t;

// A desktop of its own for a test or a benchmark: an X server (Xvfb) with a real window manager
// (openbox), and a connection to it that acts as the window manager and the user do: find a
// program's window, ask it to close, click.
class XvfbDesktop {
public:
    using Window = std::uint32_t;

    XvfbDesktop();
    ~XvfbDesktop();
    XvfbDesktop(const XvfbDesktop&) = delete;
    XvfbDesktop& operator=(const XvfbDesktop&) = delete;

    bool running() const { return ready_; }
    // ":<n>", for the DISPLAY of the programs that are to run on this desktop.
    QString display() const { return display_; }
    // A program's environment for this desktop.
    QProcessEnvironment environment() const;
    // Starts a program in env (one made from environment()), its output dropped and its errors
    // passed on; true once it runs.
    static bool launch(QProcess& process, const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& env);

    // The top-level window of the process with this title, once it is on the screen; 0 when
    // none shows within timeoutMs.
    Window waitForWindow(qint64 pid, const QString& title, int timeoutMs);
    // WM_DELETE_WINDOW, as a window manager sends it for a click on the close box or Alt+F4.
    void requestClose(Window window);
    // _NET_WM_PING: true once the program's event loop has answered it.
    bool ping(Window window, int timeoutMs);
    void click(Window window, int x, int y);

private:
    std::uint32_t atom(const char* name);
    QByteArray property(Window window, std::uint32_t name, std::uint32_t type);
    // A WM_PROTOCOLS message, as window managers send them.
    void sendProtocol(Window window, const char* protocol);
    bool viewable(Window window);
    void fakeInput(std::uint8_t type, std::uint8_t detail, Window root = 0, int x = 0, int y = 0);
    // Asks done at once, then again with each event the server sends (an xcb event), until it
    // holds; false when timeoutMs pass first.
    bool waitFor(const std::function<bool(const void* event)>& done, int timeoutMs);
    // Waits until the server has taken every request sent so far.
    void sync();

    QProcess server_;
    QProcess windowManager_;
    QString display_;
    xcb_connection_t* connection_ = nullptr;
    Window root_ = 0;
    bool ready_ = false;
};
