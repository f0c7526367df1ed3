// The template filter's run: reading templates, writing the page, evaluating expressions.
#include "pagegen/File_Filter.h"

#include "evaluator/Equation_Evaluater.h"
#include "evaluator/value/Coercion.h"
#include "evaluator/value/TextForm.h"
#include "pagegen/TemplateCharset.h"
#include "storage/Windows1252.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>

#include <algorithm>
#include <cstring>

namespace reelkeep {

namespace {

constexpr char OpenBracket = '[';
constexpr char CloseBracket = ']';
constexpr QByteArrayView Utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr qsizetype OutputBufferSize = 1 << 16;

// The page being written: buffered, in the run's character set.
class PageOutput
{
public:
    PageOutput(const QString& path, bool utf8)
        : m_file(path)
        , m_utf8(utf8)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            raise(ErrorNumber::PathFileAccessError);
        m_buffer.reserve(OutputBufferSize + 1024);
    }

    // Whatever happens, the page written so far stays and the file is closed.
    ~PageOutput() { writeOut(); }

    /// Literal template bytes, without their NUL bytes.
    void writeBytes(QByteArrayView bytes)
    {
        if (std::memchr(bytes.data(), 0, static_cast<size_t>(bytes.size())) == nullptr) {
            m_buffer.append(bytes);
        } else {
            for (const char byte : bytes) {
                if (byte != 0)
                    m_buffer.append(byte);
            }
        }
        writeOutWhenFull();
    }

    void writeText(QStringView text)
    {
        if (m_utf8)
            appendUtf8(text);
        else
            appendWindows1252(text);
        writeOutWhenFull();
    }

    /// Writes the buffer to the file; raises Disk full (61) when the file takes less.
    void flush()
    {
        if (!writeOut())
            raise(ErrorNumber::DiskFull);
    }

private:
    void appendReference(char32_t codePoint)
    {
        m_buffer.append("&#").append(QByteArray::number(codePoint)).append(';');
    }

    void appendWindows1252(QStringView text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i].unicode();
            const int byte = windows1252Byte(unit);
            if (byte >= 0) {
                m_buffer.append(static_cast<char>(byte));
            } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                appendReference(QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
                ++i;
            } else {
                appendReference(unit);
            }
        }
    }

    // UTF-8 holds every character; only a lone surrogate half has no bytes of its own.
    void appendUtf8(QStringView text)
    {
        qsizetype start = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar unit = text[i];
            if (!unit.isSurrogate())
                continue;
            if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            m_buffer.append(text.sliced(start, i - start).toUtf8());
            appendReference(unit.unicode());
            start = i + 1;
        }
        m_buffer.append(text.sliced(start).toUtf8());
    }

    void writeOutWhenFull()
    {
        if (m_buffer.size() >= OutputBufferSize)
            flush();
    }

    bool writeOut()
    {
        const bool complete = m_buffer.isEmpty() || m_file.write(m_buffer) == m_buffer.size();
        m_buffer.clear();
        return complete && m_file.flush();
    }

    QFile m_file;
    bool m_utf8;
    QByteArray m_buffer;
};

// The bytes of a template file; nothing when it does not exist. Raises Path/File access error
// (75) for a file that exists but cannot be read.
std::optional<QByteArray> readTemplate(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        raise(ErrorNumber::PathFileAccessError);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raise(ErrorNumber::PathFileAccessError);
    return bytes;
}

// An included file kept in memory, with what identifies its version on disk.
struct CachedTemplate
{
    QByteArray bytes;
    qint64 size = -1;
    QDateTime modified;
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
    Run(const QString& outputPath, bool utf8Page)
        : utf8(utf8Page)
        , output(outputPath, utf8Page)
    {
        sinceYield.start();
    }

    /// An included file's bytes, read again only when it changed on disk since the last time.
    std::optional<QByteArray> include(const QString& path)
    {
        const QFileInfo info(path);
        if (!info.isFile())
            return std::nullopt;
        CachedTemplate& cached = includes[path];
        if (cached.size != info.size() || cached.modified != info.lastModified()) {
            std::optional<QByteArray> bytes = readTemplate(path);
            if (!bytes)
                return std::nullopt;
            // In a UTF-8 page an included file's own byte-order mark would land mid-page.
            if (utf8 && bytes->startsWith(Utf8ByteOrderMark))
                bytes->remove(0, Utf8ByteOrderMark.size());
            cached = {*bytes, info.size(), info.lastModified()};
        }
        return cached.bytes;
    }

    QString decode(QByteArrayView bytes) const
    {
        return utf8 ? QString::fromUtf8(bytes) : decodeWindows1252(bytes);
    }

    bool utf8;
    PageOutput output;
    /// The template and the page hold two slots.
    int openFiles = 2;
    QHash<QString, CachedTemplate> includes;
    QElapsedTimer sinceYield;
    bool abandonedAtKnown = false;
};

File_Filter::File_Filter() = default;
File_Filter::~File_Filter() = default;

void File_Filter::Filter_File(const QString& Template_Path,
                              const QString& Output_Path,
                              Equation_Evaluater& Evaluator)
{
    m_abandonedAt = {Template_Path, 0};
    const std::optional<QByteArray> input = readTemplate(Template_Path);
    if (!input)
        raise(ErrorNumber::FileNotFound);
    m_stopRequested = false;
    m_run = std::make_unique<Run>(Output_Path, declaresUtf8(*input));
    // Closing the page and forgetting the run happen however the run ends.
    const auto endRun = qScopeGuard([this] {
        m_run.reset();
        m_stopRequested = false;
    });
    Copy_Template(*input, Template_Path, Evaluator);
    m_run->output.flush();
}

void File_Filter::Copy_Template(const QByteArray& input,
                                const QString& fileName,
                                Equation_Evaluater& Evaluator)
{
    const char* const bytes = input.constData();
    const qsizetype size = input.size();
    qsizetype position = 0;
    int line = 1;
    try {
        while (position < size) {
            const char* bracket =
                static_cast<const char*>(std::memchr(bytes + position, OpenBracket, size - position));
            const qsizetype literalEnd = bracket ? bracket - bytes : size;
            const QByteArrayView literal(bytes + position, literalEnd - position);
            m_run->output.writeBytes(literal);
            line += static_cast<int>(std::count(literal.begin(), literal.end(), '\n'));
            if (!bracket)
                break;
            // The first "]" closes the expression, or the end of the file does.
            const qsizetype textStart = literalEnd + 1;
            const char* closing =
                static_cast<const char*>(std::memchr(bytes + textStart, CloseBracket, size - textStart));
            const qsizetype textEnd = closing ? closing - bytes : size;
            const QByteArrayView expression(bytes + textStart, textEnd - textStart);
            m_abandonedAt = {fileName, line};
            const Value value = Evaluator.Evaluate_Equation(QLatin1Char(' ') + m_run->decode(expression));
            m_run->output.writeText(cstrText(value));
            line += static_cast<int>(std::count(expression.begin(), expression.end(), '\n'));
            position = textEnd + 1;
            yieldNow();
        }
    } catch (const RuntimeError&) {
        // The innermost template that sees the error is where it happened.
        if (!m_run->abandonedAtKnown) {
            m_abandonedAt = {fileName, line};
            m_run->abandonedAtKnown = true;
        }
        throw;
    }
}

void File_Filter::Include_File(const Value& Path, const Value& Count, Equation_Evaluater& Evaluator)
{
    if (!m_run)
        raise(ErrorNumber::InvalidProcedureCall);
    const int count = toInteger(Count);
    const FileSlot slot(m_run->openFiles);
    const QString path = toStringLet(Path);
    for (int repetition = 1; repetition <= count; ++repetition) {
        const std::optional<QByteArray> input = m_run->include(path);
        if (!input)
            return;
        Copy_Template(*input, path, Evaluator);
    }
}

void File_Filter::yieldNow()
{
    if (m_yield && m_run->sinceYield.elapsed() >= YieldIntervalMilliseconds) {
        m_yield();
        m_run->sinceYield.restart();
    }
    if (m_stopRequested)
        raise(ErrorNumber::UserInterrupt);
}

} // namespace reelkeep
