// Cutting a template into literal bytes and expressions, and preparing each expression when a run
// first needs it.
#include "pagegen/PreparedTemplate.h"

#include "text/Utf8.h"
#include "text/Windows1252.h"

#include <QHash>

#include <algorithm>
#include <cstring>

namespace reelkeep {

namespace {

constexpr char OpenBracket = '[';
constexpr char CloseBracket = ']';

// The distinct texts looked up while cutting, so that pieces of the same text share a place. A
// template repeats a few texts; one of more different texts than a run keeps programs for gains
// nothing from sharing places among them, as each program goes before its text comes again.
constexpr qsizetype MaxKnownTexts = qsizetype(TemplatePrograms::MaxKeptPrograms);

// The expression text the evaluator is handed: one space, then the characters between the
// brackets. A byte-order mark among them is a character like any other.
QString decodedExpression(QByteArrayView bytes, bool utf8)
{
    return QLatin1Char(' ') + (utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes));
}

// The position of the first "[" outside a text literal, or -1: in a template an expression has no
// "[" of its own, so such a one is most likely the next expression's, the "]" before it missing.
qsizetype strayOpenBracket(QByteArrayView text)
{
    bool quoted = false;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == '\'')
            quoted = !quoted;
        else if (text[at] == OpenBracket && !quoted)
            return at;
    }
    return -1;
}

// The position of the first byte from `from` on, or the size when there is none.
qsizetype find(QByteArrayView bytes, qsizetype from, char byte)
{
    const void* found = std::memchr(bytes.data() + from, byte, size_t(bytes.size() - from));
    return found ? static_cast<const char*>(found) - bytes.data() : bytes.size();
}

} // namespace

PreparedTemplate::PreparedTemplate(QByteArray bytes, bool utf8)
    : m_bytes(std::move(bytes))
    , m_utf8(utf8)
{
    // Each distinct text gets one place, found by its bytes in the template's own copy; the
    // table goes when the template is cut.
    const QByteArrayView source(m_bytes);
    QHash<QByteArrayView, std::int32_t> known;
    m_pieces.reserve(size_t(std::count(source.begin(), source.end(), OpenBracket)) + 1);
    const qsizetype size = source.size();
    qsizetype position = 0;
    while (position < size) {
        TemplatePiece& piece = m_pieces.emplace_back();
        const qsizetype bracket = find(source, position, OpenBracket);
        piece.literalStart = std::uint32_t(position);
        piece.literalEnd = std::uint32_t(bracket);
        if (bracket == size)
            break;
        // The first "]" closes the expression, or the end of the file does.
        const qsizetype textStart = bracket + 1;
        const qsizetype textEnd = find(source, textStart, CloseBracket);
        const QByteArrayView text = source.sliced(textStart, textEnd - textStart);
        // The expression the end of the file closes is one of its own, even when another one
        // has its text, so that its mistake is told at its place alone.
        const bool open = textEnd == size;
        piece.expression =
            open ? TemplatePiece::NoExpression : known.value(text, TemplatePiece::NoExpression);
        if (piece.expression == TemplatePiece::NoExpression) {
            piece.expression = std::int32_t(m_expressionCount++);
            if (!open && known.size() < MaxKnownTexts)
                known.insert(text, piece.expression);
        }
        if (open)
            m_openExpression = piece.expression;
        position = textEnd + 1;
    }
    markLines();
}

void PreparedTemplate::markLines()
{
    const auto start = m_bytes.cbegin();
    const std::size_t size = std::size_t(m_bytes.size());
    m_lineMarks.reserve(size / LineMarkStride + 1);
    std::uint32_t lineBreaks = 0;
    for (std::size_t mark = 0; mark <= size; mark += LineMarkStride) {
        m_lineMarks.push_back(lineBreaks);
        const std::size_t end = std::min(mark + LineMarkStride, size);
        lineBreaks += std::uint32_t(std::count(start + qsizetype(mark), start + qsizetype(end), '\n'));
    }
}

QByteArrayView PreparedTemplate::textOf(const TemplatePiece& piece) const
{
    const QByteArrayView source(m_bytes);
    const qsizetype textStart = qsizetype(piece.literalEnd) + 1;
    return source.sliced(textStart, find(source, textStart, CloseBracket) - textStart);
}

QString PreparedTemplate::expressionText(const TemplatePiece& piece) const
{
    return decodedExpression(textOf(piece), m_utf8);
}

void PreparedTemplate::findBracketMistakes(const TemplatePiece& piece, QStringList& findings) const
{
    const QByteArrayView text = textOf(piece);
    const qsizetype stray = strayOpenBracket(text);
    // What the missing "]" makes of the text (unknown names, operands not joined) says nothing more.
    if (piece.expression == m_openExpression)
        findings.prepend(
            QStringLiteral("the \"[\" is never closed, so the rest of the file is one expression"));
    else if (stray >= 0)
        findings = QStringList{QStringLiteral("a \"]\" is missing: the \"[\" on line %1 is still open at the "
                                              "next \"[\", on line %2")
                                   .arg(lineOf(piece))
                                   .arg(lineAt(qsizetype(piece.literalEnd) + 1 + stray))};
}

TemplatePrograms::TemplatePrograms(const PreparedTemplate& input, bool findMistakes)
    : m_input(input)
    , m_keptAt(input.expressionCount(), NotKept)
{
    if (findMistakes)
        m_findingsAt.assign(input.expressionCount(), NotPrepared);
}

std::int32_t TemplatePrograms::prepare(const TemplatePiece& piece, const Equation_Evaluater& evaluator)
{
    // Mistakes are found once for each expression, the first time it is prepared.
    QStringList found;
    const bool finding = !m_findingsAt.empty() && m_findingsAt[size_t(piece.expression)] == NotPrepared;
    KeptProgram prepared{
        piece.expression,
        evaluator.Prepare_Equation(m_input.expressionText(piece), finding ? &found : nullptr)};
    if (finding) {
        m_input.findBracketMistakes(piece, found);
        m_findingsAt[size_t(piece.expression)] =
            found.isEmpty() ? NothingFound : std::int32_t(m_findings.size());
        if (!found.isEmpty())
            m_findings.push_back(std::move(found));
    }
    if (m_kept.size() < MaxKeptPrograms) {
        m_kept.push_back(std::move(prepared));
        return std::int32_t(m_kept.size() - 1);
    }
    const std::size_t place = m_oldestKept;
    m_oldestKept = (place + 1) % MaxKeptPrograms;
    m_keptAt[size_t(m_kept[place].expression)] = NotKept;
    m_kept[place] = std::move(prepared);
    return std::int32_t(place);
}

QString PreparedTemplate::shownExpression(const TemplatePiece& piece) const
{
    constexpr qsizetype Shown = 40;
    const QByteArrayView text = textOf(piece);
    const bool closed = text.data() + text.size() < m_bytes.constData() + m_bytes.size();
    QString shown = expressionText(piece).sliced(1).simplified();
    if (shown.size() > Shown)
        shown = shown.first(Shown - 3) + QStringLiteral("...");
    return QLatin1Char('[') + shown + (closed ? QStringLiteral("]") : QString());
}

int PreparedTemplate::lineOf(const TemplatePiece& piece) const
{
    return lineAt(piece.literalEnd);
}

int PreparedTemplate::lineAt(qsizetype position) const
{
    const std::size_t mark = std::size_t(position) / LineMarkStride;
    const auto from = m_bytes.cbegin() + qsizetype(mark * LineMarkStride);
    const auto to = m_bytes.cbegin() + position;
    return 1 + int(m_lineMarks[mark]) + int(std::count(from, to, '\n'));
}

} // namespace reelkeep
