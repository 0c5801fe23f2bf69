#include "app/ToolBarControls.h"

#include "app/ComponentList.h"

#include <QAction>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

QToolButton* toolButton(ComponentList& components, QToolBar* bar, const char* name, const QString& hint,
                        QStyle::StandardPixmap picture) {
    auto* button = components.add(new QToolButton, name);
    button->setToolTip(hint);
    button->setIcon(bar->style()->standardIcon(picture));
    button->setFixedSize(23, 22);
    bar->addWidget(button);
    return button;
}

void separator(ComponentList& components, QToolBar* bar, const char* name) {
    components.add(bar->addSeparator(), name);
}

} // namespace

ToolBarControls ToolBarControls::build(ComponentList& components) {
    ToolBarControls t{};
    t.ToolBar1 = components.add(new QToolBar, "ToolBar1");
    t.ToolBar1->setMovable(false);
    t.ToolBar1->setFixedHeight(29);
    t.SpeedButton1 = toolButton(components, t.ToolBar1, "SpeedButton1", QStringLiteral("Check websites once"),
                                QStyle::SP_BrowserReload);
    separator(components, t.ToolBar1, "ToolButton3");
    t.SpeedButtonStart = toolButton(components, t.ToolBar1, "SpeedButtonStart",
                                    QStringLiteral("Start Scheduled Checks"), QStyle::SP_MediaPlay);
    t.SpeedButtonStart->setCheckable(true);
    separator(components, t.ToolBar1, "ToolButton1");
    t.SpeedButton2 = toolButton(components, t.ToolBar1, "SpeedButton2",
                                QStringLiteral("Abort network operation"), QStyle::SP_BrowserStop);
    separator(components, t.ToolBar1, "ToolButton2");
    t.SpeedButtonPause = toolButton(components, t.ToolBar1, "SpeedButtonPause",
                                    QStringLiteral("Pause alarms: the pages are still checked and logged"),
                                    QStyle::SP_MediaVolumeMuted);
    t.SpeedButtonPause->setAccessibleName(QStringLiteral("Pause alarms"));
    // Room for the drop-down's arrow beside the picture.
    t.SpeedButtonPause->setFixedWidth(33);
    t.SpeedButtonResume = toolButton(components, t.ToolBar1, "SpeedButtonResume",
                                     QStringLiteral("Resume alarms"), QStyle::SP_MediaVolume);
    t.SpeedButtonResume->setAccessibleName(QStringLiteral("Resume alarms"));
    return t;
}
