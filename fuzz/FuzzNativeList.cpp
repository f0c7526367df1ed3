// The native list-file reader on arbitrary bytes: a file reads completely or not at all, from
// memory, from disk and in small pieces alike, and what it reads is saved and read back unchanged.
#include "FuzzProperties.h"
#include "storage/ByteWindow.h"
#include "storage/NativeListFile.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

using namespace reelkeep;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    QString failure;
    const std::optional<ListDocument> read = readNativeList(bytes, &failure);
    FUZZ_REQUIRE(read.has_value() || !failure.isEmpty(), QStringLiteral("a refusal says why"));

    // Pieces of one byte, and of a size the input chooses, put every byte at the end of a piece.
    QByteArray copy = bytes.toByteArray();
    for (const qsizetype piece : {qsizetype(1), qsizetype(2 + size % 61)}) {
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        ByteWindow window(buffer, piece);
        QString piecesFailure;
        FUZZ_REQUIRE(readNativeList(window, &piecesFailure) == read && piecesFailure == failure,
                     QStringLiteral("reading in pieces gives what reading whole gives"));
    }

    const QString path = fuzz::writeScratchFile(QStringLiteral("input.rkf"), bytes);
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
