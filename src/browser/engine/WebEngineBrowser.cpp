#include "browser/engine/WebEngineBrowser.h"

#include <QAction>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

template <class Callback, class... Args> void notify(const Callback& callback, Args... args) {
    if (callback)
        callback(args...);
}

} // namespace

WebEngineBrowser::WebEngineBrowser(QWidget* parent) : view_(new QWebEngineView(parent)) {
    QObject::connect(view_, &QWebEngineView::loadStarted, view_, [this] { notify(onLoadStarted); });
    QObject::connect(view_, &QWebEngineView::loadFinished, view_, [this] { notify(onLoadFinished); });
    // The engine keeps its back and forward actions enabled exactly when there is history in
    // that direction; their changes are the history notices.
    QAction* back = view_->pageAction(QWebEnginePage::Back);
    QObject::connect(back, &QAction::changed, view_,
                     [this, back] { notify(onCanGoBack, back->isEnabled()); });
    QAction* forward = view_->pageAction(QWebEnginePage::Forward);
    QObject::connect(forward, &QAction::changed, view_,
                     [this, forward] { notify(onCanGoForward, forward->isEnabled()); });
}

// The view goes before the rest of the window, while the engine's profile is still there.
WebEngineBrowser::~WebEngineBrowser() {
    delete view_;
}

QWidget* WebEngineBrowser::widget() {
    return view_;
}

void WebEngineBrowser::load(const QString& url) {
    view_->load(QUrl(url));
}

void WebEngineBrowser::stop() {
    view_->stop();
}

void WebEngineBrowser::back() {
    view_->back();
}

void WebEngineBrowser::forward() {
    view_->forward();
}

QString WebEngineBrowser::location() const {
    return view_->url().toString();
}

extern "C" Q_DECL_EXPORT BrowserEngine* korvaneCreateBrowserEngine(QWidget* parent) {
    return new WebEngineBrowser(parent);
}
