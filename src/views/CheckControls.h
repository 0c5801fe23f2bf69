#pragma once

#include <QObject>

class CheckCycle;
class QAction;
class QTabWidget;
class QToolButton;
class QWidget;

// The toolbar's buttons and the actions that run the check cycle once, schedule it and abort it.
class CheckControls : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QToolButton* SpeedButton1;
        QToolButton* SpeedButtonStart;
        QToolButton* SpeedButton2;
        QAction* CheckWebPages;
        QAction* AbortCheck;
        QTabWidget* PageControl1;
        QWidget* TabSheetStatus;
    };

    CheckControls(const Controls& controls, CheckCycle& cycle, QObject* parent = nullptr);

    // "Check websites once" shows the grid while the pages are checked.
    void SpeedButton1Click();

private:
    Controls c_;
    CheckCycle& cycle_;
};
