#include "views/TabVisibility.h"

#include <QTabWidget>

void TabVisibility::setShown(QTabWidget& tabs, QWidget* page, bool shown) {
    const int index = tabs.indexOf(page);
    tabs.setTabVisible(index, shown);
    tabs.setTabEnabled(index, shown);
}
