#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// The address inside a shortcut file dropped from a desktop. Kept free of files and widgets so
// that any text can be thrown at it.
namespace InternetShortcut {

enum class Kind {
    // A Windows Internet shortcut (".url"): URL=... in the [InternetShortcut] section.
    WindowsUrl,
    // A desktop link (".desktop"): Type=Link and URL=... in the [Desktop Entry] section.
    DesktopLink,
};

// The kind a file's extension (letter case ignored) names, or none for any other file.
std::optional<Kind> kindOfFile(const QString& fileName);
// The extension of a kind, with its dot.
QStringView extension(Kind kind);
// The text after "URL=" on the address line of the shortcut's section, or none when the text
// has no such line (or, for a desktop link, is not of Type=Link). Lines end in LF or CR LF;
// the value keeps any other blanks, and the section and key names ignore letter case.
std::optional<QString> address(QStringView text, Kind kind);

} // namespace InternetShortcut
