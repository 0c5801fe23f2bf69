#include "views/CheckControls.h"

#include "check/CheckCycle.h"

#include <QAction>
#include <QTabWidget>
#include <QToolButton>

CheckControls::CheckControls(const Controls& controls, CheckCycle& cycle, QObject* parent)
    : QObject(parent), c_(controls), cycle_(cycle) {
    connect(c_.CheckWebPages, &QAction::triggered, &cycle_, &CheckCycle::startSoon);
    connect(c_.AbortCheck, &QAction::triggered, &cycle_, &CheckCycle::AbortCheckExecute);
    connect(c_.SpeedButton1, &QToolButton::clicked, this, &CheckControls::SpeedButton1Click);
    // The button's state, however it changed: a click, the keyboard or a screen reader.
    connect(c_.SpeedButtonStart, &QToolButton::toggled, &cycle_, &CheckCycle::SpeedButtonStartToggle);
    connect(c_.SpeedButton2, &QToolButton::clicked, c_.AbortCheck, &QAction::trigger);
}

void CheckControls::SpeedButton1Click() {
    c_.PageControl1->setCurrentWidget(c_.TabSheetStatus);
    cycle_.startSoon();
}
