#include "browser/RootBrowserTab.h"

#include "browser/TWebBrowser.h"

#include <QAction>
#include <QLineEdit>
#include <QTimer>

RootBrowserTab::RootBrowserTab(const Controls& controls, QObject* parent) : QObject(parent), c_(controls) {
    connect(c_.BrowseTo, &QAction::triggered, this, &RootBrowserTab::BrowseToExecute);
    connect(c_.TimerHTML1, &QTimer::timeout, this, &RootBrowserTab::TimerHTML1Timer);
}

void RootBrowserTab::BrowseToExecute() {
    c_.WebBrowser1->Navigate(c_.EditRootTo->text());
}

// The timer is a delayed navigation: one tick after it was started.
void RootBrowserTab::TimerHTML1Timer() {
    c_.TimerHTML1->stop();
    BrowseToExecute();
}
