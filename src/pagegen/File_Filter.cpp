// The template filter's run: reading templates, writing the page, evaluating expressions.
#include "pagegen/File_Filter.h"

#include "evaluator/Equation_Evaluater.h"
#include "pagegen/FileIdentity.h"
#include "pagegen/HtmlText.h"
#include "pagegen/PageEncoding.h"
#include "pagegen/PreparedTemplate.h"
#include "pagegen/TemplateCharset.h"
#include "storage/InputLimits.h"
#include "text/Utf8.h"
#include "value/Coercion.h"
#include "value/TextForm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>
#include <cstring>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace reelkeep {

namespace {

/// Expressions and repetitions between two looks at the clock: reading it costs more than a
/// short expression.
constexpr int ClockCheckInterval = 16;

// The page being written: encoded into a buffer in the run's character set, and written to the
// file a full buffer at a time. After a buffer the file took only in part nothing more is
// written, so the page never has a gap in the middle.
//
// A page file replaces the file of its name only when the run ends, however it ends: until then
// the old file keeps its bytes, so that a template which turns out to be that file is read whole
// and refused. A write the file takes only in part leaves the old file as it was. An existing file
// that is no regular file (the null device a check writes to, a pipe) is written in place.
class PageOutput : public TextSink
{
public:
    /// Raises Path/File access error (75) when the file cannot be created, with the system's
    /// reason in notCreated; a write the file takes only in part later puts its reason in
    /// notWritten.
    PageOutput(const QString& path, bool utf8, QString& notCreated, QString& notWritten)
        : m_identity(identityOfFile(path))
        , m_utf8(utf8)
        , m_buffer(BufferSize)
        , m_notWritten(notWritten)
    {
        const QFileInfo existing(path);
        if (existing.exists() && !existing.isFile()) {
            m_file = std::make_unique<QFile>(path);
        } else {
            auto replacement = std::make_unique<QSaveFile>(path);
            m_replacement = replacement.get();
            m_file = std::move(replacement);
        }
        if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            notCreated = m_file->errorString();
            raise(ErrorNumber::PathFileAccessError);
        }
    }

    // Whatever happens, the page written so far replaces the file, and the file is closed.
    ~PageOutput() override
    {
        if (!m_file->isOpen() || m_discarded)
            return;
        if (m_used > 0 && !m_failed)
            m_file->write(m_buffer.data(), m_used);
        close();
    }

    /// Whether the page's file, as it was before the run, is the file `identity` tells.
    bool isFile(const FileIdentity& identity) const { return m_identity == identity; }

    /// Writes nothing more: a file to be replaced stays as it was.
    void discard() { m_discarded = true; }

    /// Bytes as they are.
    void writeBytes(QByteArrayView bytes)
    {
        while (m_used + bytes.size() > BufferSize) {
            const qsizetype room = BufferSize - m_used;
            std::memcpy(m_buffer.data() + m_used, bytes.data(), size_t(room));
            m_used = BufferSize;
            bytes = bytes.sliced(room);
            flush();
        }
        std::memcpy(m_buffer.data() + m_used, bytes.data(), size_t(bytes.size()));
        m_used += bytes.size();
    }

    /// Literal template bytes, less their NUL bytes.
    void writeLiteral(QByteArrayView bytes)
    {
        for (qsizetype nul = bytes.indexOf('\0'); nul >= 0; nul = bytes.indexOf('\0')) {
            writeBytes(bytes.first(nul));
            bytes = bytes.sliced(nul + 1);
        }
        writeBytes(bytes);
    }

    /// An expression's value as the page writes it: CStr's text.
    void writeValue(const Value& value)
    {
        if (value.kind() == Kind::String)
            writeText(value.asString());
        else if (!value.isEmpty())
            writeText(pageTextOf(value));
    }

    /// Part of an expression's value, a text.
    void write(QStringView text) override { writeText(text); }

    /// Writes the buffer to the file; raises Disk full (61) when the file takes less of it.
    void flush()
    {
        // A file that takes part of the buffer is asked for the rest: the system says why only
        // when it takes none.
        for (qsizetype written = 0; !m_failed && written < m_used;) {
            const qint64 taken = m_file->write(m_buffer.data() + written, m_used - written);
            if (taken > 0) {
                written += taken;
            } else {
                m_failed = true;
                m_notWritten = m_file->errorString();
            }
        }
        m_used = 0;
        if (m_failed)
            raise(ErrorNumber::DiskFull);
    }

    /// Writes out the rest of the page and puts it in place; raises Disk full (61) when the file
    /// takes less of it, and Path/File access error (75) when the page cannot take its name.
    void finish()
    {
        flush();
        if (!close())
            raise(ErrorNumber::PathFileAccessError);
    }

private:
    static constexpr qsizetype BufferSize = 1 << 17;

    // Encodes the text piece by piece into the buffer, never cutting a surrogate pair in two.
    void writeText(QStringView text)
    {
        while (!text.isEmpty()) {
            const qsizetype room = (BufferSize - m_used) / MaxPageBytesPerUnit;
            if (room < 2) {
                flush();
                continue;
            }
            qsizetype take = std::min(text.size(), room);
            if (take < text.size() && text[take - 1].isHighSurrogate())
                --take;
            char* const start = m_buffer.data() + m_used;
            const QStringView piece = text.first(take);
            const char* const end = writePageText(start, piece, m_utf8);
            m_used += end - start;
            text = text.sliced(take);
        }
    }

    bool close()
    {
        if (!m_replacement) {
            m_file->close();
            return true;
        }
        const bool committed = m_replacement->commit();
        if (!committed && m_notWritten.isEmpty())
            m_notWritten = m_replacement->errorString();
        return committed;
    }

    const std::optional<FileIdentity> m_identity;
    std::unique_ptr<QFileDevice> m_file;
    /// The file that replaces the page's when the run ends, or null when it is written in place.
    QSaveFile* m_replacement = nullptr;
    bool m_discarded = false;
    bool m_utf8;
    std::vector<char> m_buffer;
    qsizetype m_used = 0;
    bool m_failed = false;
    QString& m_notWritten;
};

// The bytes of a file known to exist. Raises Path/File access error (75) when it cannot be read,
// and Out of memory (7) when it holds more than MaxTemplateBytes, of which no more are read.
QByteArray readExistingTemplate(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        raise(ErrorNumber::PathFileAccessError);
    if (file.size() > MaxTemplateBytes)
        raise(ErrorNumber::OutOfMemory);
    // A file is read at the size it has, so that its bytes take no more room than they need
    // (the prepared template keeps them); a byte more tells that it grew meanwhile, or that it is
    // a device of no size, and the rest is read up to one byte past the bound.
    const qint64 size = file.isSequential() ? 0 : file.size();
    QByteArray bytes = file.read(size + 1);
    if (bytes.size() > size) {
        bytes += file.read(MaxTemplateBytes + 1 - bytes.size());
        bytes.squeeze();
    }
    if (file.error() != QFileDevice::NoError)
        raise(ErrorNumber::PathFileAccessError);
    if (bytes.size() > MaxTemplateBytes)
        raise(ErrorNumber::OutOfMemory);
    return bytes;
}

// The bytes of a template file; nothing when it does not exist.
std::optional<QByteArray> readTemplate(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return readExistingTemplate(path);
}

// Notes in warnings, once for each file, where a UTF-8 template has its first bytes that are not
// UTF-8: expressions read them as U+FFFD, literal text passes them on to the page.
void noteInvalidUtf8(QStringList& warnings, const QString& path, QByteArrayView bytes)
{
    const qsizetype at = firstInvalidUtf8(bytes);
    if (at < 0)
        return;
    const int line = 1 + int(std::count(bytes.begin(), bytes.begin() + at, '\n'));
    const QString warning =
        QDir::toNativeSeparators(path) + QStringLiteral(" has ") + invalidUtf8Warning(at, line);
    if (!warnings.contains(warning))
        warnings.append(warning);
}

// What tells one version of a file on disk from another: a rewrite changes its size or one of
// its times, a replacement its identity.
struct FileVersion
{
    bool isFile = false;
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0;
    FileIdentity identity;

    bool operator==(const FileVersion&) const = default;
};

FileVersion versionOf(const QString& path)
{
    FileVersion version;
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return version;
    version.isFile = true;
    version.size = status.st_size;
    version.modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    version.changed = qint64(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    version.identity = {quint64(status.st_dev), quint64(status.st_ino), QString()};
#else
    const QFileInfo info(path);
    version.isFile = info.isFile();
    version.size = info.size();
    version.modified = info.lastModified().toMSecsSinceEpoch();
    version.changed = info.metadataChangeTime().toMSecsSinceEpoch();
    version.identity = identityOfFile(path).value_or(FileIdentity());
#endif
    return version;
}

} // namespace

// A template as a run copies it: cut into pieces, and the programs of its expressions.
struct RunTemplate
{
    RunTemplate(QByteArray bytes, bool utf8, bool findMistakes)
        : prepared(std::move(bytes), utf8)
        , programs(prepared, findMistakes)
    {}

    const PreparedTemplate prepared;
    TemplatePrograms programs;
};

namespace {

// An included file as it was last read, prepared, with the yield after which it was last
// compared with the file on disk.
struct IncludedTemplate
{
    std::shared_ptr<RunTemplate> prepared;
    FileVersion version;
    quint64 checkedAtYield = 0;
    bool checked = false;
};

// Holds one file slot for as long as an include lasts.
class FileSlot
{
public:
    explicit FileSlot(int& openFiles)
        : m_openFiles(openFiles)
    {
        if (m_openFiles >= File_Filter::FileSlots)
            raise(ErrorNumber::TooManyFiles);
        ++m_openFiles;
    }
    ~FileSlot() { --m_openFiles; }
    FileSlot(const FileSlot&) = delete;
    FileSlot& operator=(const FileSlot&) = delete;

private:
    int& m_openFiles;
};

} // namespace

struct File_Filter::Run
{
    Run(const QString& outputPath, const QString& listFolder, bool utf8Page, FilterReport& runReport)
        : utf8(utf8Page)
        , report(runReport)
        , output(outputPath, utf8Page, runReport.pageNotCreated, runReport.pageNotWritten)
        , imageAddresses(listFolder, QFileInfo(outputPath).absolutePath())
    {
        sinceYield.start();
    }

    /// An included file, read and prepared again only when it changed on disk since then.
    std::shared_ptr<RunTemplate> include(const QString& path, bool findMistakes)
    {
        IncludedTemplate& cached = includes[path];
        if (cached.checked && cached.checkedAtYield == yields)
            return cached.prepared;
        cached.checked = true;
        cached.checkedAtYield = yields;
        const FileVersion version = versionOf(path);
        // The page would replace a file the run reads: refused before it is read.
        if (version.isFile && output.isFile(version.identity)) {
            output.discard();
            report.pageIncluded = path;
            raise(ErrorNumber::PathFileAccessError);
        }
        if (cached.prepared && version == cached.version)
            return cached.prepared;
        cached.prepared.reset();
        cached.version = version;
        if (!version.isFile)
            return nullptr;
        QByteArray bytes = readExistingTemplate(path);
        // In a UTF-8 page an included file's own byte-order mark would land mid-page.
        if (utf8 && bytes.startsWith(Utf8ByteOrderMark))
            bytes.remove(0, Utf8ByteOrderMark.size());
        if (utf8)
            noteInvalidUtf8(report.warnings, path, bytes);
        cached.prepared = std::make_shared<RunTemplate>(bytes, utf8, findMistakes);
        return cached.prepared;
    }

    bool utf8;
    FilterReport& report;
    PageOutput output;
    PageImageAddresses imageAddresses;
    /// The template and the page hold two slots.
    int openFiles = 2;
    QHash<QString, IncludedTemplate> includes;
    QElapsedTimer sinceYield;
    int untilClockCheck = 1;
    /// How many yield intervals have passed.
    quint64 yields = 0;
    bool abandonedAtKnown = false;

    /// Where the run is when it finds mistakes: the innermost template and its piece.
    const PreparedTemplate* currentTemplate = nullptr;
    const QString* currentFile = nullptr;
    const TemplatePiece* currentPiece = nullptr;
    /// The place of each warning in the filter's list, by file, piece and cause.
    QHash<QString, qsizetype> warningAt;
};

namespace {

// "2,500": repetitions are counted in thousands at a glance.
QString groupedCount(qint64 count)
{
    QString digits = QString::number(count);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}

} // namespace

QString TemplateWarning::text() const
{
    QString text = cause + QStringLiteral(" in ") + expression;
    if (count > 1)
        text += QStringLiteral(" (x %1)").arg(groupedCount(count));
    return text;
}

File_Filter::File_Filter() = default;
File_Filter::~File_Filter() = default;

FilterReport File_Filter::Filter_File(const QString& Template_Path,
                                      const QString& Output_Path,
                                      Equation_Evaluater& Evaluator)
{
    FilterReport report;
    report.abandonedAt = {Template_Path, 1};
    try {
        const std::optional<QByteArray> input = readTemplate(Template_Path);
        if (!input)
            raise(ErrorNumber::FileNotFound);
        m_stopRequested = false;
        const bool utf8 = declaresUtf8(*input);
        if (utf8)
            noteInvalidUtf8(report.warnings, Template_Path, *input);
        m_run = std::make_unique<Run>(Output_Path, m_listFolder, utf8, report);
        // Closing the page and forgetting the run happen however the run ends.
        const auto endRun = qScopeGuard([this] {
            m_run.reset();
            m_stopRequested = false;
        });
        RunTemplate mainTemplate(*input, utf8, m_findsMistakes);
        Copy_Template(mainTemplate, Template_Path, Evaluator);
        if (!mainTemplate.prepared.pieces().empty())
            report.abandonedAt.line = mainTemplate.prepared.lineOf(mainTemplate.prepared.pieces().back());
        m_run->output.finish();
    } catch (const RuntimeError& error) {
        report.error = error.errorNumber();
    }
    return report;
}

QString File_Filter::imageAddress(const QString& source) const
{
    return m_run->imageAddresses(source);
}

void File_Filter::Copy_Template(RunTemplate& copied, const QString& fileName, Equation_Evaluater& Evaluator)
{
    const PreparedTemplate& input = copied.prepared;
    const TemplatePiece* current = nullptr;
    Run& run = *m_run;
    // An include copies another template inside this one's expression; this one goes on after.
    const auto outerPlace =
        qScopeGuard([&run, file = run.currentFile, at = run.currentTemplate, piece = run.currentPiece] {
            run.currentFile = file;
            run.currentTemplate = at;
            run.currentPiece = piece;
        });
    run.currentFile = &fileName;
    run.currentTemplate = &input;
    try {
        for (const TemplatePiece& piece : input.pieces()) {
            current = &piece;
            run.output.writeLiteral(input.literal(piece));
            if (piece.expression == TemplatePiece::NoExpression)
                break;
            const PreparedEquation expression = copied.programs.expression(piece, Evaluator);
            if (!m_findsMistakes) {
                run.output.writeValue(Evaluator.Evaluate_Prepared(expression, &run.output));
            } else {
                run.currentPiece = &piece;
                const QStringList* findings = copied.programs.findings(piece);
                if (findings)
                    for (const QString& finding : *findings)
                        warn(finding);
                const Value value = Evaluator.Evaluate_Prepared(expression, &run.output);
                // A mistake found already tells why the page gets an Error Value.
                if (value.kind() == Kind::Error && !findings) {
                    const QString maker = Evaluator.resultMaker(expression);
                    warn(QStringLiteral("the page gets error %1 (%2)%3")
                             .arg(value.errorNumber())
                             .arg(errorMessage(value.errorNumber()),
                                  maker.isEmpty() ? QString() : QStringLiteral(", made by ") + maker));
                }
                run.output.writeValue(value);
            }
            yieldNow();
        }
    } catch (const RuntimeError& error) {
        // The innermost template that sees the error is where it happened.
        if (!run.abandonedAtKnown) {
            run.report.abandonedAt = {fileName, current ? input.lineOf(*current) : 1};
            run.report.abandonedCause = error.cause();
            run.abandonedAtKnown = true;
        }
        throw;
    }
}

void File_Filter::warn(const QString& cause)
{
    Run& run = *m_run;
    const PreparedTemplate& input = *run.currentTemplate;
    const TemplatePiece& piece = *run.currentPiece;
    const QString key = *run.currentFile + QChar(0) + QString::number(piece.literalEnd) + QChar(0) + cause;
    const auto known = run.warningAt.constFind(key);
    if (known != run.warningAt.cend()) {
        ++run.report.templateWarnings[*known].count;
        return;
    }
    run.warningAt.insert(key, run.report.templateWarnings.size());
    run.report.templateWarnings.append(
        {*run.currentFile, input.lineOf(piece), input.shownExpression(piece), cause});
}

void File_Filter::Include_File(const Value& Path, const Value& Count, Equation_Evaluater& Evaluator)
{
    if (!m_run)
        raise(ErrorNumber::InvalidProcedureCall);
    const int count = toInteger(Count);
    const FileSlot slot(m_run->openFiles);
    if (count < 1)
        return;
    const QString path = toStringLet(Path);
    for (int repetition = 1; repetition <= count; ++repetition) {
        if (const std::shared_ptr<RunTemplate> input = m_run->include(path, m_findsMistakes))
            Copy_Template(*input, path, Evaluator);
        else if (m_findsMistakes && m_run->currentPiece && repetition == 1)
            warn(QStringLiteral("infile names no file: %1").arg(QDir::toNativeSeparators(path)));
        // A file without expressions, included many times, still lets the window repaint.
        yieldNow();
    }
}

void File_Filter::yieldNow()
{
    Run& run = *m_run;
    if (--run.untilClockCheck <= 0) {
        run.untilClockCheck = m_yieldInterval > 0 ? ClockCheckInterval : 1;
        if (run.sinceYield.elapsed() >= m_yieldInterval) {
            if (m_yield)
                m_yield();
            run.sinceYield.restart();
            ++run.yields;
        }
    }
    if (m_stopRequested)
        raise(ErrorNumber::UserInterrupt);
}

} // namespace reelkeep
