#include "app/BrowserTabs.h"

#include "app/ControlFactory.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using namespace ControlFactory;

namespace {

QToolButton* navigationButton(ComponentList& components, const char* name, QStyle::StandardPixmap picture) {
    auto* b = components.add(new QToolButton, name);
    b->setIcon(b->style()->standardIcon(picture));
    return b;
}

} // namespace

BrowserTabs BrowserTabs::build(ComponentList& components) {
    BrowserTabs t{};
    t.TabSheetRoot = components.add(new QWidget, "TabSheetRoot");
    t.PanelRoot = components.add(new QWidget, "PanelRoot");
    t.EditRootTo = edit(components, "EditRootTo", {});
    t.WebBrowser1 = components.add(new QWidget, "WebBrowser1");
    auto* rootPanel = new QHBoxLayout(t.PanelRoot);
    rootPanel->addWidget(t.EditRootTo);
    t.PanelRoot->setVisible(false);
    auto* root = new QVBoxLayout(t.TabSheetRoot);
    root->addWidget(t.PanelRoot);
    root->addWidget(t.WebBrowser1, 1);

    t.TabSheetBrowser = components.add(new QWidget, "TabSheetBrowser");
    t.BrowseBack = navigationButton(components, "BrowseBack", QStyle::SP_ArrowBack);
    t.BrowseForward = navigationButton(components, "BrowseForward", QStyle::SP_ArrowForward);
    t.BrowseStop = navigationButton(components, "BrowseStop", QStyle::SP_BrowserStop);
    t.BrowseBack->setEnabled(false);
    t.BrowseForward->setEnabled(false);
    t.EditBrowseTo = edit(components, "EditBrowseTo", QStringLiteral("http://"));
    t.ButtonBrowseGo = button(components, "ButtonBrowseGo", QStringLiteral("GO"));
    t.ButtonAddFromBrowser = button(components, "ButtonAddFromBrowser", QStringLiteral("Add"));
    t.WebBrowser2 = components.add(new QWidget, "WebBrowser2");
    auto* bar = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(t.BrowseBack), static_cast<QWidget*>(t.BrowseForward),
                       static_cast<QWidget*>(t.BrowseStop)})
        bar->addWidget(w);
    bar->addWidget(t.EditBrowseTo, 1);
    bar->addWidget(t.ButtonBrowseGo);
    bar->addWidget(t.ButtonAddFromBrowser);
    auto* browser = new QVBoxLayout(t.TabSheetBrowser);
    browser->addLayout(bar);
    browser->addWidget(t.WebBrowser2, 1);
    return t;
}
