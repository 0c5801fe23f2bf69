#pragma once

#include "app/TFormMainWindow.h"
#include "views/TImageList.h"
#include "views/TWinTaskbar.h"

// Which picture of the tray list the tray icon shows now; -1 for none of them.
inline int trayPicture(TFormMainWindow& w) {
    const QImage shown = w.TrayIcon1->icon().pixmap(32, 32).toImage();
    for (int i = 0; i < w.ImageList2->count(); ++i) {
        if (w.ImageList2->pixmap(i).toImage() == shown)
            return i;
    }
    return -1;
}
