#pragma once

#include <functional>

class QLineEdit;
class QTabWidget;
class QWidget;
class TDropURLTarget;
class TStatusBar;

// Addresses dragged onto the window's tabs join the page list through the editor's own "+", so
// a drop adds a page exactly as typing the address does. A drop that is not a web address
// changes nothing but the status bar text.
class AddressDrop {
public:
    struct Controls {
        QTabWidget* PageControl1;
        QWidget* TabSheetWebPages;
        QLineEdit* EditURL;
        TStatusBar* StatusBar1;
        TDropURLTarget* DropURLTarget1;
    };

    AddressDrop(const Controls& controls, std::function<void()> addPage);

    // Shows the page list while the drag hovers, so the user sees where the address goes.
    void DropURLTarget1DragOver();
    void DropURLTarget1Drop();

private:
    Controls c_;
    std::function<void()> addPage_;
};
