// Any text as a page's option values and as the page it checks: nothing crashes, a header line
// found right goes into a request as one line, and a code list that parses accepts what it names.
#include "check/ContentCheck.h"
#include "net/HeaderLines.h"
#include "net/StatusCodeList.h"
#include "pages/PageOptions.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromLatin1(bytes);
    for (const auto& [name, value] : HeaderLines::parse(text.split(QLatin1Char('\n')))) {
        if (name.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\r')) || name.isEmpty())
            std::abort();
    }
    if (const std::optional<StatusCodeList> codes = StatusCodeList::parse(text)) {
        bool ok = false;
        const int first =
            text.section(QLatin1Char(','), 0, 0).section(QLatin1Char('-'), 0, 0).trimmed().toInt(&ok);
        if (ok && !codes->accepts(first))
            std::abort();
    }
    PageOptions options;
    options.mustContain = text.left(20);
    options.regularExpression = size % 2 == 1;
    ContentCheck::failure(options, ContentCheck::text(bytes, text), false);
    return 0;
}
