// Any text as a URL: the parser either raises its error or returns a request target that the
// URL ends with, never an empty one.
#include "net/UrlParser.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString url = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const ParsedUrl p = UrlParser::parse(url, QStringLiteral("old.invalid"), 8080);
        if (p.path.isEmpty() || !p.url.endsWith(p.path) || p.host.isEmpty())
            std::abort();
    } catch (const std::runtime_error&) {
    }
    return 0;
}
