// The native list-file reader on arbitrary bytes: a file reads completely or not at all, from
// memory, from disk and in small pieces alike, and what it reads is saved and read back unchanged.
#include "FuzzProperties.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    reelkeep::fuzz::checkNativeList(QByteArrayView(data, static_cast<qsizetype>(size)));
    return 0;
}
