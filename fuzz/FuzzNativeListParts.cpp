// The native list-file reader on arbitrary bytes after the magic of a list with extra fields, so
// that every input explores its parts: read completely or not at all, and saved and read back
// unchanged.
#include "FuzzProperties.h"
#include "storage/NativeListFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    reelkeep::fuzz::checkNativeList(QByteArray(reelkeep::NativeMagicParts).append(bytes));
    return 0;
}
