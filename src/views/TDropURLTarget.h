#pragma once

#include "views/TDropTarget.h"

#include <QString>

// A drop target for web addresses: a link or a selected address from a browser, a text, or an
// Internet shortcut or desktop link file. The address is taken out as the drag enters.
class TDropURLTarget : public TDropTarget {
    Q_OBJECT
public:
    explicit TDropURLTarget(QObject* parent = nullptr);

    QString DroppedURL;
    // The page title a browser sent along, the shortcut file's name, or else the address.
    QString DroppedTitle;
    // The path of a dropped shortcut file that could not be read; empty otherwise.
    QString DroppedUnreadable;

protected:
    bool DoGetData() override;
    void ClearData() override;
    bool HasValidFormats(const QMimeData& data) const override;

private:
    bool takeLink(const QMimeData& data);
    bool takeText(const QMimeData& data);
    bool takeShortcutContents(const QMimeData& data);
    bool takeShortcutFile(const QMimeData& data);
};
