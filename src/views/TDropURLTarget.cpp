#include "views/TDropURLTarget.h"

#include "views/InternetShortcut.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QStringDecoder>
#include <QUrl>
#include <algorithm>

namespace {

const QString MozUrl = QStringLiteral("text/x-moz-url");
const QString UriList = QStringLiteral("text/uri-list");
const QString PlainText = QStringLiteral("text/plain");
const QString ShortcutContents = QStringLiteral("application/x-mswinurl");

// A shortcut is a few lines; a bigger file is read no further than this.
constexpr qint64 LongestShortcutFile = 1 << 20;

QStringList lines(const QString& text) {
    QStringList result = text.split(QLatin1Char('\n'));
    for (QString& line : result) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return result;
}

// The addresses of a uri-list, without its comment lines.
QStringList uriListEntries(const QMimeData& data) {
    QStringList entries;
    for (const QString& line : lines(QString::fromUtf8(data.data(UriList)))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            entries.append(line);
    }
    return entries;
}

bool isFileEntry(const QString& entry) {
    return entry.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
}

} // namespace

TDropURLTarget::TDropURLTarget(QObject* parent) : TDropTarget(parent) {
    Dragtypes = Qt::LinkAction;
    GetDataOnEnter = true;
}

void TDropURLTarget::ClearData() {
    DroppedURL.clear();
    DroppedTitle.clear();
    DroppedUnreadable.clear();
}

bool TDropURLTarget::HasValidFormats(const QMimeData& data) const {
    for (const QString& format : {MozUrl, UriList, PlainText, ShortcutContents}) {
        if (data.hasFormat(format))
            return true;
    }
    return false;
}

bool TDropURLTarget::DoGetData() {
    ClearData();
    const QMimeData& data = *heldData();
    if (!(takeLink(data) || takeText(data) || takeShortcutContents(data) || takeShortcutFile(data)))
        return false;
    if (DroppedTitle.isEmpty())
        DroppedTitle = DroppedURL;
    return true;
}

// A browser's link: its own format with the page title, or else the standard list of addresses.
bool TDropURLTarget::takeLink(const QMimeData& data) {
    // Firefox sends "address\ntitle" in UTF-16, low byte first.
    QStringDecoder decoder(QStringConverter::Utf16LE);
    const QStringList link = lines(decoder(data.data(MozUrl)));
    if (!link.first().isEmpty()) {
        DroppedURL = link.first();
        DroppedTitle = link.value(1);
        return true;
    }
    for (const QString& entry : uriListEntries(data)) {
        if (!isFileEntry(entry)) {
            DroppedURL = entry;
            return true;
        }
    }
    return false;
}

bool TDropURLTarget::takeText(const QMimeData& data) {
    // Asked for text, Qt would make one of the dropped files' names.
    if (!data.hasFormat(PlainText))
        return false;
    // Some programs send the text with its C string end and whatever lay behind it.
    DroppedURL = QString::fromUtf8(data.data(PlainText).split('\0').first());
    return !DroppedURL.isEmpty();
}

bool TDropURLTarget::takeShortcutContents(const QMimeData& data) {
    const std::optional<QString> url = InternetShortcut::address(
        QString::fromUtf8(data.data(ShortcutContents)), InternetShortcut::Kind::WindowsUrl);
    DroppedURL = url.value_or(QString());
    return url.has_value();
}

// Only the first dropped file counts, and only when it is a shortcut.
bool TDropURLTarget::takeShortcutFile(const QMimeData& data) {
    const QStringList entries = uriListEntries(data);
    const auto first = std::find_if(entries.begin(), entries.end(), isFileEntry);
    if (first == entries.end())
        return false;
    const QString path = QUrl(*first).toLocalFile();
    const QString name = QFileInfo(path).fileName();
    const std::optional<InternetShortcut::Kind> kind = InternetShortcut::kindOfFile(name);
    if (!kind)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DroppedUnreadable = path;
        return false;
    }
    const std::optional<QString> url =
        InternetShortcut::address(QString::fromUtf8(file.read(LongestShortcutFile)), *kind);
    if (!url)
        return false;
    DroppedURL = *url;
    DroppedTitle = name.chopped(InternetShortcut::extension(*kind).size());
    return true;
}
