// Any text as a response header for change detection and redirects: nothing crashes, a date
// never keeps a comma, and a kept signature has no comma and reads back as the tag.
#include "check/HeaderFields.h"
#include "check/PageSignature.h"
#include "check/RedirectTarget.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString header = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    HeaderFields::HeaderContentLength(header);
    if (HeaderFields::HeaderLastModified(header).contains(QLatin1Char(',')))
        std::abort();
    const QString tag = HeaderFields::HeaderETag(header);
    const QString kept = PageSignature::stored(tag);
    if (kept.contains(QLatin1Char(',')) || PageSignature::shown(kept) != tag)
        std::abort();
    if (PageSignature::shown(PageSignature::stored(header)) != header)
        std::abort();
    RedirectTarget::fromHeader(header, QStringLiteral("http://127.0.0.1:8080/dir/page.html"));
    return 0;
}
