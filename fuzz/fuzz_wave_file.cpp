// Any bytes as a sound file: the inspection never reads out of bounds and either names a
// problem or gives a playable format.
#include "sound/WaveFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const WaveFile::Inspection result =
        WaveFile::inspect(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (result.format.has_value() == !result.problem.isEmpty())
        std::abort();
    if (result.format && (result.format->channels < 1 || result.format->sampleRate <= 0))
        std::abort();
    return 0;
}
