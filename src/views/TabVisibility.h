#pragma once

class QTabWidget;
class QWidget;

namespace TabVisibility {

// Shows or hides the page's tab. A hidden tab is disabled too: the tab bar's arrow keys would
// otherwise still land on it, and show a page the user cannot see a tab for.
void setShown(QTabWidget& tabs, QWidget* page, bool shown);

} // namespace TabVisibility
