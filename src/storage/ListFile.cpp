// List files on disk: choosing the form, reading a whole file, and replacing a file only when the
// new one is complete.
#include "storage/ListFile.h"

#include "catalogue/Catalogue.h"
#include "storage/ByteWindow.h"
#include "storage/CsvListFile.h"
#include "storage/InputLimits.h"
#include "storage/NativeListFile.h"
#include "text/Utf8.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace reelkeep {

namespace {

void setFailure(QString* failure, const QString& text)
{
    if (failure)
        *failure = text;
}

// The form to use, choosing from the name when asked to.
std::optional<ListForm> resolveForm(const QString& path, ListForm form, QString* failure)
{
    if (form != ListForm::FromName)
        return form;
    const std::optional<ListForm> chosen = formFromFileName(path);
    if (!chosen)
        setFailure(failure, QStringLiteral("the name ends neither in rkf nor in csv"));
    return chosen;
}

// The form that the first bytes of a list file show, if any.
std::optional<ListForm> formShownBy(QByteArrayView firstBytes)
{
    if (startsWithNativeMagic(firstBytes))
        return ListForm::Native;
    // A comma-separated file in UTF-8 opens with a byte-order mark before its first quote.
    if (firstBytes.startsWith(Utf8ByteOrderMark))
        firstBytes = firstBytes.sliced(Utf8ByteOrderMark.size());
    if (firstBytes.startsWith('"'))
        return ListForm::CommaSeparated;
    return std::nullopt;
}

// Enough bytes to hold a native magic.
constexpr qint64 FirstBytes = sizeof(NativeMagicWindows1252) - 1;

std::optional<ListDocument>
parseList(ByteWindow& window, ListForm form, QString* failure, TextFindings* findings)
{
    if (form == ListForm::Native)
        return readNativeList(window, failure, findings);
    return readCsvList(window, failure, findings);
}

std::optional<QByteArray> formatList(const ListDocument& document, ListForm form, QString* failure)
{
    std::optional<QByteArray> bytes = form == ListForm::Native
                                          ? writeNativeList(document, failure)
                                          : writeCsvList(document.films, document.encoding, failure);
    if (bytes && bytes->size() > MaxListFileBytes) {
        setFailure(failure,
                   QStringLiteral("the list would take more than %1").arg(megabytes(MaxListFileBytes)));
        return std::nullopt;
    }
    return bytes;
}

// The line of a comma-separated file on which a byte lies, a line ending in CR LF, a lone CR or a
// lone LF; 0 when the file cannot be read again from its start, as a pipe cannot.
int lineOfByte(QFile& file, qsizetype position)
{
    if (file.isSequential() || !file.seek(0))
        return 0;
    int line = 1;
    bool afterCarriageReturn = false;
    for (qsizetype read = 0; read < position;) {
        const QByteArray piece = file.read(qMin(ByteWindow::FilePiece, position - read));
        if (piece.isEmpty())
            return 0;
        for (const char byte : piece) {
            if (byte == '\r' || (byte == '\n' && !afterCarriageReturn))
                ++line;
            afterCarriageReturn = byte == '\r';
        }
        read += piece.size();
    }
    return line;
}

// Writes every byte. A write that the system takes only in part (a disk that fills up) is
// followed by another, which fails with the system's reason.
bool writeAll(QIODevice& device, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 written = device.write(bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

// Opens the file unbuffered and writes the bytes: every write reaches the system at once, so its
// reason for refusing one (a full disk) is still there to report, where a commit's own flush would
// lose it. The file is not committed.
bool openAndWrite(QSaveFile& file, QByteArrayView bytes, QString* failure)
{
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(file, bytes))
        return true;
    setFailure(failure, file.errorString());
    return false;
}

#ifdef Q_OS_UNIX
// Gives the file a second name at kept, replacing any file of that name at once: a link under a
// name no file has first, then renamed over kept. The link's name takes a random ending until the
// system finds no file of that name, so that no file of the user's is ever replaced or removed.
// False, with nothing changed, when the file system links no files or the name is on another one.
bool linkAs(const QString& path, const QString& kept)
{
    constexpr int Tries = 16;
    const QByteArray file = QFile::encodeName(path);
    const QByteArray target = QFile::encodeName(kept);
    for (int i = 0; i < Tries; ++i) {
        const QByteArray link =
            target + ".new-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        if (::linkat(AT_FDCWD, file.constData(), AT_FDCWD, link.constData(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        if (std::rename(link.constData(), target.constData()) == 0)
            return true;
        ::unlink(link.constData());
        return false;
    }
    return false;
}
#else
bool linkAs(const QString&, const QString&)
{
    return false;
}
#endif

// Copies the file to kept as a save writes a list: kept is replaced only once the copy is whole.
bool copyAs(const QString& path, const QString& kept, QString* failure)
{
    QFile old(path);
    QSaveFile copy(kept);
    if (!old.open(QIODevice::ReadOnly)) {
        setFailure(failure, old.errorString());
        return false;
    }
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setFailure(failure, copy.errorString());
        return false;
    }
    while (!old.atEnd()) {
        const QByteArray piece = old.read(ByteWindow::FilePiece);
        if (piece.isEmpty() || !writeAll(copy, piece)) {
            setFailure(failure, piece.isEmpty() ? old.errorString() : copy.errorString());
            return false;
        }
    }
    copy.setPermissions(old.permissions());
    if (!copy.commit()) {
        setFailure(failure, copy.errorString());
        return false;
    }
    return true;
}

// Keeps the list file that a save is about to replace as previousVersionPath(): by a second name
// for it where the system allows, as nothing then needs copying, else by a copy. At every moment
// the list and its previous version each are a whole file.
bool keepPreviousVersion(const QString& path, QString* failure)
{
    if (!QFileInfo(path).isFile())
        return true; // nothing to keep
    const QString kept = previousVersionPath(path);
    if (linkAs(path, kept))
        return true;
    QString reason;
    if (copyAs(path, kept, &reason))
        return true;
    setFailure(failure, QStringLiteral("the version it replaces cannot be kept as %1: %2").arg(kept, reason));
    return false;
}

std::optional<ListDocument> loadList(const QString& path, ListForm form, QString* failure, QString* warning)
{
    std::optional<ListForm> chosen = resolveForm(path, form, failure);
    if (!chosen)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setFailure(failure, file.errorString());
        return std::nullopt;
    }
    // A name that says rkf or csv is loaded in the form the first bytes show, so that a list
    // saved under the other form's extension still loads, in the command line as in the window.
    if (form == ListForm::FromName)
        chosen = formShownBy(file.peek(FirstBytes)).value_or(*chosen);
    if (!file.isSequential() && file.size() > MaxListFileBytes) {
        setFailure(failure, fileTooLargeFailure(MaxListFileBytes));
        return std::nullopt;
    }
    // The file is read a piece at a time, so that loading never holds a copy of all of it; a
    // device that never ends is read no further than the bound.
    ByteWindow window(file, ByteWindow::FilePiece, MaxListFileBytes);
    TextFindings findings;
    std::optional<ListDocument> document = parseList(window, *chosen, failure, &findings);
    const qsizetype position = textFindingsPosition(findings);
    if (document && position >= 0 && warning) {
        // A native file has no lines.
        const int line = *chosen == ListForm::CommaSeparated ? lineOfByte(file, position) : 0;
        *warning = textFindingsWarning(findings, line);
    }
    return document;
}

bool saveList(const QString& path,
              ListForm form,
              const ListDocument& document,
              PreviousVersion previous,
              QString* failure)
{
    const std::optional<ListForm> chosen = resolveForm(path, form, failure);
    if (!chosen)
        return false;
    const std::optional<QByteArray> bytes = formatList(document, *chosen, failure);
    return bytes && writeWholeFile(path, *bytes, failure, previous);
}

} // namespace

bool writeWholeFile(const QString& path, QByteArrayView bytes, QString* failure, PreviousVersion previous)
{
    // QSaveFile writes beside the old file and renames over it only on commit, so a failure at
    // any point leaves the old file as it was. The previous version is kept once the new one is
    // written, just before it takes the name.
    QSaveFile file(path);
    if (!openAndWrite(file, bytes, failure))
        return false;
    if (previous == PreviousVersion::Keep && !keepPreviousVersion(path, failure))
        return false; // the new file is dropped with `file`
    if (!file.commit()) {
        setFailure(failure, file.errorString());
        return false;
    }
    return true;
}

std::optional<ListForm> formFromFileName(const QString& path)
{
    // A previous version ("films.rkf.bak", "films.rkf.bak.bak") is in the form of the list it was.
    QStringView name = path;
    while (name.endsWith(PreviousVersionEnding, Qt::CaseInsensitive))
        name.chop(PreviousVersionEnding.size());
    if (name.size() < 3)
        return std::nullopt;
    const QString ending = name.right(3).toString().toLower();
    if (ending == QLatin1String("rkf"))
        return ListForm::Native;
    if (ending == QLatin1String("csv"))
        return ListForm::CommaSeparated;
    return std::nullopt;
}

ListForm formOfContents(const QString& path, ListForm otherwise)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return otherwise;
    return formShownBy(file.peek(FirstBytes)).value_or(otherwise);
}

std::optional<ListDocument>
loadListFile(const QString& path, ListForm form, QString* failure, QString* warning)
{
    return refuseWhenOutOfMemory(failure, [&] { return loadList(path, form, failure, warning); });
}

QStringList notKeptBy(ListForm form, const ListDocument& document)
{
    if (form != ListForm::CommaSeparated)
        return {};
    QStringList notKept;
    if (document.pageTitle.value_or(DefaultPageTitle) != DefaultPageTitle ||
        !document.pageDescription.value_or(QString()).isEmpty())
        notKept.append(QStringLiteral("the page title and description"));
    QStringList names;
    for (const ExtraField& field : document.fields)
        names.append(u'"' + field.name + u'"');
    if (names.size() == 1)
        notKept.append(QStringLiteral("the extra field ") + names.first());
    else if (names.size() > 1)
        notKept.append(QStringLiteral("the extra fields %1 and %2")
                           .arg(names.first(names.size() - 1).join(QStringLiteral(", ")), names.last()));
    return notKept;
}

QString notKeptSentence(const QString& fileName, ListForm form, const ListDocument& document)
{
    const QStringList notKept = notKeptBy(form, document);
    if (notKept.isEmpty())
        return {};
    const QString what = notKept.join(QStringLiteral(" nor "));
    if (fileName.isEmpty())
        return QStringLiteral("The .csv form does not keep %1").arg(what);
    return QStringLiteral("%1 does not keep %2: the .csv form keeps the seventeen fields of each film only")
        .arg(fileName, what);
}

QString previousVersionPath(const QString& path)
{
    return QString(path).append(PreviousVersionEnding);
}

bool saveListFile(const QString& path,
                  ListForm form,
                  const ListDocument& document,
                  QString* failure,
                  PreviousVersion previous)
{
    return refuseWhenOutOfMemory(failure, [&] { return saveList(path, form, document, previous, failure); });
}

} // namespace reelkeep
