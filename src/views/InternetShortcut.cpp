#include "views/InternetShortcut.h"

#include <QStringTokenizer>

namespace InternetShortcut {

std::optional<Kind> kindOfFile(const QString& fileName) {
    for (Kind kind : {Kind::WindowsUrl, Kind::DesktopLink}) {
        if (fileName.endsWith(extension(kind), Qt::CaseInsensitive))
            return kind;
    }
    return std::nullopt;
}

QStringView extension(Kind kind) {
    return kind == Kind::WindowsUrl ? u".url" : u".desktop";
}

std::optional<QString> address(QStringView text, Kind kind) {
    const QStringView section = kind == Kind::WindowsUrl ? u"[InternetShortcut]" : u"[Desktop Entry]";
    const QStringView key = u"URL=";
    bool inSection = false;
    // A Windows shortcut is always a link; a desktop entry may be an application or a folder.
    bool isLink = kind == Kind::WindowsUrl;
    std::optional<QString> url;
    for (QStringView line : QStringTokenizer(text, u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!inSection) {
            inSection = line.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        // The section ends where the next one begins.
        if (line.startsWith(u'['))
            break;
        if (!url && line.startsWith(key, Qt::CaseInsensitive))
            url = line.sliced(key.size()).toString();
        else if (line.compare(u"Type=Link", Qt::CaseInsensitive) == 0)
            isLink = true;
    }
    return isLink ? url : std::nullopt;
}

} // namespace InternetShortcut
