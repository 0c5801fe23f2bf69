#include "app/BrowserTabs.h"

#include "app/ControlFactory.h"
#include "browser/TWebBrowser.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using namespace ControlFactory;

namespace {

// The hint doubles as the button's text, which the icon hides but a screen reader speaks.
QToolButton* navigationButton(ComponentList& components, const char* name, const QString& hint,
                              QStyle::StandardPixmap picture) {
    auto* b = components.add(new QToolButton, name);
    b->setIcon(b->style()->standardIcon(picture));
    b->setText(hint);
    b->setToolTip(hint);
    return b;
}

} // namespace

BrowserTabs BrowserTabs::build(ComponentList& components) {
    BrowserTabs t{};
    t.TabSheetRoot = components.add(new QWidget, "TabSheetRoot");
    t.PanelRoot = components.add(new QWidget, "PanelRoot");
    t.EditRootTo = edit(components, "EditRootTo", {});
    t.WebBrowser1 = components.add(new TWebBrowser, "WebBrowser1");
    t.WebBrowser1->setAccessibleName(QStringLiteral("Browser"));
    auto* rootPanel = new QHBoxLayout(t.PanelRoot);
    rootPanel->addWidget(t.EditRootTo);
    t.PanelRoot->setVisible(false);
    auto* root = new QVBoxLayout(t.TabSheetRoot);
    root->addWidget(t.PanelRoot);
    root->addWidget(t.WebBrowser1, 1);

    t.TabSheetBrowser = components.add(new QWidget, "TabSheetBrowser");
    t.BrowseBack = navigationButton(components, "BrowseBack", QStringLiteral("Back"), QStyle::SP_ArrowBack);
    t.BrowseForward =
        navigationButton(components, "BrowseForward", QStringLiteral("Forward"), QStyle::SP_ArrowForward);
    t.BrowseStop = navigationButton(components, "BrowseStop", QStringLiteral("Stop"), QStyle::SP_BrowserStop);
    t.BrowseBack->setEnabled(false);
    t.BrowseForward->setEnabled(false);
    t.EditBrowseTo = edit(components, "EditBrowseTo", QStringLiteral("http://"));
    t.ButtonBrowseGo = button(components, "ButtonBrowseGo", QStringLiteral("GO"), QStringLiteral("Browse"));
    t.ButtonAddFromBrowser =
        button(components, "ButtonAddFromBrowser", QStringLiteral("Add"),
               QStringLiteral("Add this web document to list of documents to supervise"));
    t.WebBrowser2 = components.add(new TWebBrowser, "WebBrowser2");
    t.WebBrowser2->setAccessibleName(QStringLiteral("Web Browser"));
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
