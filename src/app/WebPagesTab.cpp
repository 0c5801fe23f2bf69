#include "app/WebPagesTab.h"

#include "app/ControlFactory.h"
#include "views/TCheckListBox.h"

#include <QGridLayout>
#include <QVBoxLayout>

using namespace ControlFactory;

WebPagesTab WebPagesTab::build(ComponentList& components) {
    WebPagesTab t{};
    t.TabSheetWebPages = components.add(new QWidget, "TabSheetWebPages");
    t.Panel2 = components.add(new QWidget, "Panel2");
    t.Panel2->setToolTip(QStringLiteral("Drag and Drop an URL from your Browser Here!"));
    t.EditURL = edit(components, "EditURL", QStringLiteral("http://"),
                     QStringLiteral("Type the URL of the web page that you want to supervise"));
    t.ButtonAdd =
        button(components, "ButtonAdd", QStringLiteral("+"),
               QStringLiteral("Click here to add the URL to the list of web documents to supervise"));
    t.ButtonDel = button(components, "ButtonDel", QStringLiteral("-"),
                         QStringLiteral("Select a URl and click here to remove from list"));
    t.ButtonApplyChanges = button(components, "ButtonApplyChanges", QStringLiteral("Apply"));
    t.ButtonApplyChanges->setEnabled(false);
    t.ButtonPageOptions = button(
        components, "ButtonPageOptions", QStringLiteral("Page options…"),
        QStringLiteral(
            "Content check, login, request headers, accepted codes and time limits of the selected page"));
    t.CheckBoxCheckSize = checkBox(components, "CheckBoxCheckSize", QStringLiteral("Check Size"), false);
    t.CheckBoxCheckSignature =
        checkBox(components, "CheckBoxCheckSignature", QStringLiteral("Check Signature"), false);
    t.CheckBoxCheckDate = checkBox(components, "CheckBoxCheckDate", QStringLiteral("Check Date"), false);
    t.CheckListBoxURL = components.add(new TCheckListBox, "CheckListBoxURL");
    t.CheckListBoxURL->setToolTip(QStringLiteral("Click the checkmark to include or exclude this web page."));

    for (QPushButton* b : {t.ButtonAdd, t.ButtonDel})
        b->setFixedWidth(32);
    auto* panel = new QGridLayout(t.Panel2);
    panel->addWidget(t.EditURL, 0, 0, 1, 3);
    panel->addWidget(t.ButtonAdd, 0, 3);
    panel->addWidget(t.ButtonDel, 0, 4);
    panel->addWidget(t.ButtonApplyChanges, 0, 5);
    panel->addWidget(t.CheckBoxCheckSize, 1, 0);
    panel->addWidget(t.CheckBoxCheckDate, 1, 1);
    panel->addWidget(t.CheckBoxCheckSignature, 1, 2);
    panel->addWidget(t.ButtonPageOptions, 1, 3, 1, 3);
    panel->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(t.TabSheetWebPages);
    layout->addWidget(t.Panel2);
    layout->addWidget(t.CheckListBoxURL, 1);
    return t;
}
