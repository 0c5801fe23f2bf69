#pragma once

#include <QString>
#include <functional>

class QWidget;

// A web page view as the browser tabs drive it. The engine behind it lives in a library of its
// own, loaded when the user first browses; this header is all the two sides share, so nothing
// of the engine is linked into the program. Notices come back through the callbacks.
class BrowserEngine {
public:
    virtual ~BrowserEngine() = default;

    virtual QWidget* widget() = 0;
    virtual void load(const QString& url) = 0;
    virtual void stop() = 0;
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual QString location() const = 0;

    std::function<void()> onLoadStarted;
    std::function<void()> onLoadFinished;
    std::function<void(bool enabled)> onCanGoBack;
    std::function<void(bool enabled)> onCanGoForward;
};

// The entry point the engine library exports: a new view, a child of parent.
using CreateBrowserEngine = BrowserEngine* (*)(QWidget* parent);
inline constexpr const char* CreateBrowserEngineName = "korvaneCreateBrowserEngine";
