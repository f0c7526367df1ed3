// Property checks shared by the fuzz targets.
#include "FuzzProperties.h"

#include "storage/ByteWindow.h"
#include "storage/NativeListFile.h"
#include "value/RuntimeError.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace reelkeep::fuzz {

void propertyFailed(const char* property, const QString& detail)
{
    std::fprintf(stderr, "property failed: %s\n", property);
    if (!detail.isEmpty())
        std::fprintf(stderr, "  %s\n", detail.toUtf8().constData());
    std::abort();
}

void requireStandardError(int number)
{
    // Every number the runtime raises by name has a message of its own; any other number only
    // the text that errorMessage() gives numbers it does not know.
    if (number <= 0 || errorMessage(number) == errorMessage(1))
        propertyFailed("a raised error carries a standard number", QString::number(number));
}

static QString describeFilm(const FilmRecord& film)
{
    QStringList texts;
    for (const QString& text : film.fields)
        texts << QString::fromLatin1(text.toUtf8().toPercentEncoding());
    for (const QString& text : film.extra)
        texts << QString::fromLatin1(text.toUtf8().toPercentEncoding());
    return texts.join(QLatin1Char('|'));
}

QString firstDifference(const ListDocument& expected, const ListDocument& actual)
{
    if (expected.pageTitle != actual.pageTitle)
        return QStringLiteral("page title");
    if (expected.pageDescription != actual.pageDescription)
        return QStringLiteral("page description");
    if (expected.encoding != actual.encoding)
        return QStringLiteral("encoding %1 against %2").arg(int(expected.encoding)).arg(int(actual.encoding));
    if (expected.fields != actual.fields)
        return QStringLiteral("extra fields");
    if (expected.films.size() != actual.films.size())
        return QStringLiteral("film count %1 against %2").arg(expected.films.size()).arg(actual.films.size());
    for (qsizetype i = 0; i < expected.films.size(); ++i) {
        if (expected.films[i] != actual.films[i])
            return QStringLiteral("film %1:\n  %2\n  %3")
                .arg(i)
                .arg(describeFilm(expected.films[i]), describeFilm(actual.films[i]));
    }
    return QString();
}

void checkNativeList(QByteArrayView bytes)
{
    QString failure;
    const std::optional<ListDocument> read = readNativeList(bytes, &failure);
    FUZZ_REQUIRE(read.has_value() || !failure.isEmpty(), QStringLiteral("a refusal says why"));

    // Pieces of one byte, and of a size the input chooses, put every byte at the end of a piece.
    QByteArray copy = bytes.toByteArray();
    for (const qsizetype piece : {qsizetype(1), qsizetype(2 + bytes.size() % 61)}) {
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        ByteWindow window(buffer, piece);
        QString piecesFailure;
        FUZZ_REQUIRE(readNativeList(window, &piecesFailure) == read && piecesFailure == failure,
                     QStringLiteral("reading in pieces gives what reading whole gives"));
    }

    const QString path = writeScratchFile(QStringLiteral("input.rkf"), bytes);
    const std::optional<ListDocument> loaded = loadListFile(path, ListForm::Native);
    FUZZ_REQUIRE(loaded == read, QStringLiteral("loading the file gives what reading its bytes gives"));
    if (!read)
        return;

    QString writeFailure;
    const std::optional<QByteArray> written = writeNativeList(*read, &writeFailure);
    FUZZ_REQUIRE(written.has_value(), writeFailure);
    std::optional<ListDocument> again = readNativeList(*written);
    FUZZ_REQUIRE(again.has_value());
    // A save chooses the version by the texts, not by the version read: "rkf01" whenever they fit.
    again->encoding = read->encoding;
    FUZZ_REQUIRE(*again == *read, firstDifference(*read, *again));
    FUZZ_REQUIRE(writeNativeList(*again) == written, QStringLiteral("a second save writes the same bytes"));
}

FuzzCatalogue::FuzzCatalogue(const QStringList& titles, Field field, const QString& text)
{
    for (const QString& title : titles) {
        FilmRecord film;
        film[Field::Title] = title;
        film[field] = text;
        m_films.append(film);
    }
}

static bool replayingCorpus = false;

bool replaying()
{
    return replayingCorpus;
}

void startReplaying()
{
    replayingCorpus = true;
}

QString scratchFile(const QString& name)
{
    // In memory where the system offers it: a disk flushes every rewritten file and would slow the
    // run down a hundredfold.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/reelkeep-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/reelkeep-fuzz-XXXXXX"));
    if (!folder.isValid())
        propertyFailed("a scratch folder can be made", folder.errorString());
    return QDir(folder.path()).filePath(name);
}

QString writeScratchFile(const QString& name, QByteArrayView bytes)
{
    const QString path = scratchFile(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size())
        propertyFailed("the input can be written to a scratch file", file.errorString());
    return path;
}

} // namespace reelkeep::fuzz
