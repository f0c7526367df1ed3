// Test notation for Values.
#include "ValueNotation.h"

#include "value/RuntimeError.h"
#include "value/TextForm.h"

#include <QLocale>

#include <charconv>
#include <clocale>
#include <string>
#include <utility>

namespace reelkeep::test {
namespace {

class FixedObject : public ValueObject
{
public:
    explicit FixedObject(Value value)
        : m_value(std::move(value))
    {}
    Value defaultValue() const override { return m_value; }
    QString className() const override { return QStringLiteral("Fixed"); }

private:
    Value m_value;
};

// "1.5" -> 15000, "-922337203685477.5808" -> INT64_MIN, without going through a float.
std::int64_t scaledCurrency(const QString& text)
{
    const bool negative = text.startsWith(u'-');
    const QString body = negative ? text.mid(1) : text;
    const qsizetype point = body.indexOf(u'.');
    const QString whole = point < 0 ? body : body.left(point);
    const QString fraction = (point < 0 ? QString() : body.mid(point + 1)).leftJustified(4, u'0');
    const quint64 magnitude = whole.toULongLong() * 10000 + fraction.toULongLong();
    return negative ? std::int64_t(0 - magnitude) : std::int64_t(magnitude);
}

// Exactly as C++ reads the literal, whatever the process locale.
template <typename Float> Float floatOf(const QString& text)
{
    const std::string digits = text.toStdString();
    Float result = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), result);
    return result;
}

Decimal decimalOf(const QString& text)
{
    const bool negative = text.startsWith(u'-');
    QString body = negative ? text.mid(1) : text;
    const qsizetype point = body.indexOf(u'.');
    const int exponent = point < 0 ? 0 : -int(body.size() - point - 1);
    body.remove(u'.');
    const std::string digits = body.toStdString();
    return decimalFromDigits(digits, exponent, negative);
}

} // namespace

Value valueOf(const QString& notation)
{
    const qsizetype space = notation.indexOf(u' ');
    const QString kind = space < 0 ? notation : notation.left(space);
    const QString payload = space < 0 ? QString() : notation.mid(space + 1);
    if (kind == u"Empty")
        return Value();
    if (kind == u"Null")
        return Value::makeNull();
    if (kind == u"Integer")
        return Value::makeInteger(std::int16_t(payload.toInt()));
    if (kind == u"Long")
        return Value::makeLong(payload.toInt());
    if (kind == u"Single")
        return Value::makeSingle(floatOf<float>(payload));
    if (kind == u"Double")
        return Value::makeDouble(floatOf<double>(payload));
    if (kind == u"Currency")
        return Value::makeCurrency(Currency{scaledCurrency(payload)});
    if (kind == u"Date")
        return Value::makeDate(floatOf<double>(payload));
    if (kind == u"String")
        return Value::makeString(payload);
    if (kind == u"Error")
        return Value::makeError(payload.toInt());
    if (kind == u"Boolean")
        return Value::makeBoolean(payload == u"True");
    if (kind == u"Decimal")
        return Value::makeDecimal(decimalOf(payload));
    if (kind == u"Byte")
        return Value::makeByte(std::uint8_t(payload.toUInt()));
    if (kind == u"Object")
        return Value::makeObject(std::make_shared<FixedObject>(Value::makeDouble(floatOf<double>(payload))));
    if (kind == u"Nothing")
        return Value::makeObject(nullptr);
    qFatal("unknown value notation: %s", qPrintable(notation));
}

QString outcome(const std::function<Value()>& compute)
{
    try {
        return describeForCli(compute());
    } catch (const RuntimeError& error) {
        return QStringLiteral("raised ") + QString::number(error.number());
    }
}

void underGermanLocale(const std::function<void()>& body)
{
    const QLocale previous;
    const std::string previousC = std::setlocale(LC_ALL, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const bool haveC = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "de_DE.utf8") ||
                       std::setlocale(LC_ALL, "de_DE");
    body();
    std::setlocale(LC_ALL, previousC.c_str());
    QLocale::setDefault(previous);
    static bool told = false;
    if (!haveC && !std::exchange(told, true))
        qInfo("no German C locale installed; the German run sets only the QLocale default");
}

} // namespace reelkeep::test
