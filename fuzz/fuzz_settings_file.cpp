// Any bytes as a settings file: reading never crashes, writing what was read and reading it
// again gives the same file, and the memo's lines survive saving and loading.
#include "net/IniFile.h"
#include "settings/CommaText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const IniFile ini = IniFile::parse(bytes);
    const QByteArray written = ini.serialize();
    if (IniFile::parse(written).serialize() != written)
        std::abort();
    const std::optional<QString> value = ini.value(QStringLiteral("defaults"), QStringLiteral("Memo1"));

    IniFile changed = ini;
    changed.setValue(QStringLiteral("defaults"), QStringLiteral("EditURL"),
                     QString::fromUtf8(bytes).trimmed());
    if (!changed.value(QStringLiteral("defaults"), QStringLiteral("EditURL")))
        std::abort();

    // Saving and loading gives the lines back, except that an empty last line is dropped (the
    // format writes it as nothing after the last comma).
    const QStringList lines = fromCommaText(value.value_or(QString::fromUtf8(bytes)));
    QStringList expected = lines;
    if (expected.size() > 1 && expected.back().isEmpty())
        expected.removeLast();
    if (fromCommaText(toCommaText(lines)) != expected)
        std::abort();
    return 0;
}
