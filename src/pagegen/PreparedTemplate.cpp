// Cutting a template into literal bytes and prepared expressions.
#include "pagegen/PreparedTemplate.h"

#include "storage/Utf8.h"
#include "storage/Windows1252.h"

#include <algorithm>
#include <cstring>

namespace reelkeep {

namespace {

constexpr char OpenBracket = '[';
constexpr char CloseBracket = ']';

QByteArray withoutNulBytes(QByteArrayView bytes)
{
    QByteArray kept = bytes.toByteArray();
    kept.removeIf([](char byte) { return byte == 0; });
    return kept;
}

int lineEndsIn(QByteArrayView bytes)
{
    return static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
}

// The expression text the evaluator is handed: one space, then the characters between the
// brackets. A byte-order mark among them is a character like any other.
QString expressionText(QByteArrayView bytes, bool utf8)
{
    return QLatin1Char(' ') + (utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes));
}

} // namespace

PreparedTemplate::PreparedTemplate(QByteArrayView bytes, bool utf8, const Equation_Evaluater& evaluator)
    : m_bytes(bytes.toByteArray())
    , m_utf8(utf8)
{
    const char* const data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype position = 0;
    int line = 1;
    while (position < size) {
        TemplatePiece& piece = m_pieces.emplace_back();
        const auto* bracket =
            static_cast<const char*>(std::memchr(data + position, OpenBracket, size - position));
        const qsizetype literalEnd = bracket ? bracket - data : size;
        const QByteArrayView literal(data + position, literalEnd - position);
        piece.literal = withoutNulBytes(literal);
        line += lineEndsIn(literal);
        piece.line = line;
        if (!bracket)
            break;
        // The first "]" closes the expression, or the end of the file does.
        const qsizetype textStart = literalEnd + 1;
        const auto* closing =
            static_cast<const char*>(std::memchr(data + textStart, CloseBracket, size - textStart));
        const qsizetype textEnd = closing ? closing - data : size;
        const QByteArrayView text(data + textStart, textEnd - textStart);
        piece.hasExpression = true;
        piece.expression = evaluator.Prepare_Equation(expressionText(text, utf8));
        line += lineEndsIn(text);
        position = textEnd + 1;
    }
}

} // namespace reelkeep
