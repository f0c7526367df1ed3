// Text functions on Values and plain texts.
#include "functions/TextFunctions.h"

#include "text/Windows1252.h"
#include "value/Coercion.h"
#include "value/RuntimeError.h"
#include "value/TextForm.h"

namespace reelkeep {

namespace {

Qt::CaseSensitivity caseSensitivityOf(std::int32_t compare)
{
    return compareModeOf(compare) == CompareMode::Binary ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

// Where `find` first occurs in `text` from `from` on, or -1. One character compared code unit by
// code unit, what templates mostly look for, is looked for directly.
qsizetype findText(QStringView text, qsizetype from, QStringView find, Qt::CaseSensitivity sensitivity)
{
    if (find.size() != 1 || sensitivity != Qt::CaseSensitive)
        return text.indexOf(find, from, sensitivity);
    if (from >= text.size())
        return -1;
    const char16_t* const found = QtPrivate::qustrchr(text.sliced(from), find.front().unicode());
    return found == text.utf16() + text.size() ? -1 : found - text.utf16();
}

void requireText(const QString& text)
{
    if (text.isEmpty())
        raise(ErrorNumber::InvalidProcedureCall);
}

QString codePageCharacter(int code)
{
    const char byte = static_cast<char>(code);
    return decodeWindows1252(QByteArrayView(&byte, 1));
}

// The digits of the argument's two's complement at the width of its kind, 4 (hex) or 3 (octal)
// bits per digit.
Value radixText(const Value& number, int bitsPerDigit)
{
    const ResolvedValue value(number);
    std::uint32_t bits = 0;
    switch (value->kind()) {
    case Kind::Null:
        return Value::makeNull();
    case Kind::Empty:
        break;
    case Kind::Byte:
        bits = value->asByte();
        break;
    case Kind::Boolean:
    case Kind::Integer:
        bits = static_cast<std::uint16_t>(toInteger(*value));
        break;
    default:
        bits = static_cast<std::uint32_t>(toLong(*value));
        break;
    }
    return Value::makeString(QString::number(bits, 1 << bitsPerDigit).toUpper());
}

// The text form of a Value, or empty when it is Null.
std::optional<QString> textUnlessNull(const Value& value)
{
    const ResolvedValue resolved(value);
    if (resolved->isNull())
        return std::nullopt;
    return toStringLet(*resolved);
}

void requireNonNegative(std::int32_t number)
{
    if (number < 0)
        raise(ErrorNumber::InvalidProcedureCall);
}

} // namespace

Value asc(const QString& text)
{
    requireText(text);
    QByteArray byte;
    if (!appendWindows1252(byte, QStringView(text).left(1)))
        return Value::makeInteger('?');
    return Value::makeInteger(static_cast<std::uint8_t>(byte.at(0)));
}

Value ascB(const QString& text)
{
    requireText(text);
    return Value::makeByte(static_cast<std::uint8_t>(text.at(0).unicode() & 0xFF));
}

Value ascW(const QString& text)
{
    requireText(text);
    return Value::makeInteger(static_cast<std::int16_t>(text.at(0).unicode()));
}

Value chr(std::int32_t code)
{
    if (code < 0 || code > 255)
        raise(ErrorNumber::InvalidProcedureCall);
    return Value::makeString(codePageCharacter(code));
}

Value chrB(std::uint8_t code)
{
    return Value::makeString(QString(QChar(code)));
}

Value chrW(std::int32_t code)
{
    if (code < -32768 || code > 65535)
        raise(ErrorNumber::InvalidProcedureCall);
    return Value::makeString(QString(QChar(static_cast<char16_t>(code < 0 ? code + 65536 : code))));
}

Value hex(const Value& number)
{
    return radixText(number, 4);
}

Value oct(const Value& number)
{
    return radixText(number, 3);
}

Value inStr(std::int32_t start, const Value& text, const Value& find, std::int32_t compare)
{
    if (start < 1)
        raise(ErrorNumber::InvalidProcedureCall);
    const Qt::CaseSensitivity sensitivity = caseSensitivityOf(compare);
    const std::optional<QString> haystack = textUnlessNull(text);
    const std::optional<QString> needle = textUnlessNull(find);
    if (!haystack || !needle)
        return Value::makeNull();
    if (start > haystack->size())
        return Value::makeLong(0);
    if (needle->isEmpty())
        return Value::makeLong(start);
    return Value::makeLong(std::int32_t(haystack->indexOf(*needle, start - 1, sensitivity) + 1));
}

Value inStrRev(const QString& text, const QString& find, std::int32_t start, std::int32_t compare)
{
    if (start == 0 || start < -1)
        raise(ErrorNumber::InvalidProcedureCall);
    const Qt::CaseSensitivity sensitivity = caseSensitivityOf(compare);
    if (text.isEmpty())
        return Value::makeLong(0);
    const qsizetype end = start == -1 ? text.size() : start;
    if (end > text.size())
        return Value::makeLong(0);
    if (find.isEmpty())
        return Value::makeLong(std::int32_t(end));
    const qsizetype from = end - find.size();
    if (from < 0)
        return Value::makeLong(0);
    return Value::makeLong(std::int32_t(QStringView(text).lastIndexOf(find, from, sensitivity) + 1));
}

Value replace(const QString& text,
              const QString& find,
              const QString& replacement,
              std::int32_t start,
              std::int32_t count,
              std::int32_t compare)
{
    if (start < 1 || count < -1)
        raise(ErrorNumber::InvalidProcedureCall);
    const Qt::CaseSensitivity sensitivity = caseSensitivityOf(compare);
    if (start > text.size())
        return Value::makeString(QString());
    const QStringView rest = QStringView(text).sliced(start - 1);
    qsizetype at = find.isEmpty() || count == 0 ? -1 : findText(rest, 0, find, sensitivity);
    // Nothing to replace: the text from the start on, unchanged (the whole text is not copied).
    if (at < 0)
        return Value::makeString(start == 1 ? text : rest.toString());
    QString result;
    result.reserve(rest.size() + replacement.size() - find.size());
    qsizetype from = 0;
    for (std::int32_t made = 0; at >= 0 && (count == -1 || made < count); ++made) {
        result.append(rest.sliced(from, at - from)).append(replacement);
        from = at + find.size();
        at = findText(rest, from, find, sensitivity);
    }
    result.append(rest.sliced(from));
    return Value::makeString(std::move(result));
}

Value left(const Value& text, std::int32_t length)
{
    requireNonNegative(length);
    const std::optional<QString> whole = textUnlessNull(text);
    return whole ? Value::makeString(whole->left(length)) : Value::makeNull();
}

Value right(const Value& text, std::int32_t length)
{
    requireNonNegative(length);
    const std::optional<QString> whole = textUnlessNull(text);
    return whole ? Value::makeString(whole->right(length)) : Value::makeNull();
}

Value mid(const Value& text, std::int32_t start, const std::optional<Value>& length)
{
    if (start < 1)
        raise(ErrorNumber::InvalidProcedureCall);
    const std::optional<std::int32_t> count = length ? std::optional(toLong(*length)) : std::nullopt;
    if (count)
        requireNonNegative(*count);
    const std::optional<QString> whole = textUnlessNull(text);
    if (!whole)
        return Value::makeNull();
    return Value::makeString(count ? whole->mid(start - 1, *count) : whole->mid(start - 1));
}

Value len(const Value& text)
{
    const std::optional<QString> whole = textUnlessNull(text);
    return whole ? Value::makeLong(std::int32_t(whole->size())) : Value::makeNull();
}

Value string(std::int32_t count, const Value& character)
{
    requireNonNegative(count);
    const ResolvedValue value(character);
    if (value->isNull())
        return Value::makeNull();
    QChar filler;
    if (value->kind() == Kind::String) {
        requireText(value->asString());
        filler = value->asString().at(0);
    } else {
        filler = codePageCharacter((toLong(*value) % 256 + 256) % 256).at(0);
    }
    return Value::makeString(QString(count, filler));
}

Value str(const Value& number)
{
    const ResolvedValue value(number);
    switch (value->kind()) {
    case Kind::Null:
        return Value::makeNull();
    case Kind::Boolean:
    case Kind::Date:
        return Value::makeString(toStringLet(*value));
    case Kind::String:
        return str(Value::makeDouble(toDouble(*value)));
    default: {
        // The text form without its leading zero (Str(0.24) is " .24", Str(-0.5) is "-.5"), and a
        // space where a non-negative number's sign would be.
        QString text = toStringLet(Value::makeEmpty() == *value ? Value::makeInteger(0) : *value);
        const bool negative = text.startsWith(QLatin1Char('-'));
        const qsizetype digits = negative ? 1 : 0;
        if (QStringView(text).sliced(digits).startsWith(u"0."))
            text.remove(digits, 1);
        return Value::makeString(negative ? text : QLatin1Char(' ') + text);
    }
    }
}

} // namespace reelkeep
