// The native list-file reader on arbitrary bytes: a file reads completely or not at all, from
// memory and from disk alike, and what it reads is saved and read back unchanged.
#include "FuzzProperties.h"
#include "storage/NativeListFile.h"

#include <QFile>

#include <cstddef>
#include <cstdint>

using namespace reelkeep;

static void writeBytes(const QString& path, QByteArrayView bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size())
        fuzz::propertyFailed("the input can be written to a scratch file", file.errorString());
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    QString failure;
    const std::optional<ListDocument> read = readNativeList(bytes, &failure);
    FUZZ_REQUIRE(read.has_value() || !failure.isEmpty(), QStringLiteral("a refusal says why"));

    const QString path = fuzz::scratchFile(QStringLiteral("input.rkf"));
    writeBytes(path, bytes);
    const std::optional<ListDocument> loaded = loadListFile(path, ListForm::Native);
    FUZZ_REQUIRE(loaded == read, QStringLiteral("loading the file gives what reading its bytes gives"));
    if (!read)
        return 0;

    QString writeFailure;
    const std::optional<QByteArray> written = writeNativeList(*read, &writeFailure);
    FUZZ_REQUIRE(written.has_value(), writeFailure);
    const std::optional<ListDocument> again = readNativeList(*written);
    FUZZ_REQUIRE(again.has_value());
    FUZZ_REQUIRE(*again == *read, fuzz::firstDifference(*read, *again));
    FUZZ_REQUIRE(writeNativeList(*again) == written, QStringLiteral("a second save writes the same bytes"));
    return 0;
}
