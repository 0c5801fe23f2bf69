// Any bytes as a dropped Internet shortcut or desktop link: an address is one line, found only
// behind its key, and a desktop entry gives one only when it is a link.
#include "views/InternetShortcut.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (InternetShortcut::Kind kind :
         {InternetShortcut::Kind::WindowsUrl, InternetShortcut::Kind::DesktopLink}) {
        const std::optional<QString> url = InternetShortcut::address(text, kind);
        if (!url)
            continue;
        if (url->contains(QLatin1Char('\n')) ||
            !text.contains(QStringLiteral("URL=") + *url, Qt::CaseInsensitive))
            std::abort();
        if (kind == InternetShortcut::Kind::DesktopLink &&
            !text.contains(QLatin1String("Type=Link"), Qt::CaseInsensitive))
            std::abort();
    }
    return 0;
}
