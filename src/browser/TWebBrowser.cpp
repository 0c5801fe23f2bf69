#include "browser/TWebBrowser.h"

#include "browser/BrowserEngineLibrary.h"

#include <QLabel>
#include <QVBoxLayout>

TWebBrowser::TWebBrowser(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

TWebBrowser::~TWebBrowser() = default;

BrowserEngine* TWebBrowser::engine() {
    if (engine_ || unavailable_)
        return engine_.get();
    QString error;
    engine_ = BrowserEngineLibrary::create(this, error);
    if (!engine_) {
        // Without the engine the tab says why instead of staying blank; the rest runs on.
        unavailable_ = new QLabel(QStringLiteral("The web browser is not available: ") + error, this);
        unavailable_->setWordWrap(true);
        layout()->addWidget(unavailable_);
        return nullptr;
    }
    QWidget* view = engine_->widget();
    view->setAccessibleName(accessibleName());
    layout()->addWidget(view);
    setFocusProxy(view);
    engine_->onLoadStarted = [this] { setBusy(true); };
    engine_->onLoadFinished = [this] {
        setBusy(false);
        emit DocumentComplete();
    };
    engine_->onCanGoForward = [this](bool enabled) { emit CommandStateChange(NavigateForward, enabled); };
    engine_->onCanGoBack = [this](bool enabled) { emit CommandStateChange(NavigateBack, enabled); };
    return engine_.get();
}

void TWebBrowser::setBusy(bool busy) {
    busy_ = busy;
    emit BusyChange(busy);
}

void TWebBrowser::Navigate(const QString& url) {
    if (busy_)
        Stop();
    if (BrowserEngine* e = engine())
        e->load(url);
}

void TWebBrowser::Stop() {
    if (engine_)
        engine_->stop();
}

void TWebBrowser::GoBack() {
    if (engine_)
        engine_->back();
}

void TWebBrowser::GoForward() {
    if (engine_)
        engine_->forward();
}

void TWebBrowser::GoHome() {
    if (engine_)
        engine_->load(QStringLiteral("about:blank"));
}

QString TWebBrowser::LocationURL() const {
    return engine_ ? engine_->location() : QString();
}
