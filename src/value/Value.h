// Value: the dynamic value every expression computes with, one kind tag and its payload.
#pragma once

#include "value/Currency.h"
#include "value/Decimal.h"
#include "value/Kind.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <new>

namespace reelkeep {

class Value;

/// An object that a Value can refer to. Wherever a value is needed (an operator other than "is",
/// a conversion, the text form), the object stands for its default value.
class ValueObject
{
public:
    virtual ~ValueObject() = default;
    /// The object's default value.
    virtual Value defaultValue() const = 0;
    /// The class name that TypeName shows.
    virtual QString className() const { return QStringLiteral("Object"); }
};

/// A dynamic value: Empty, Null, Integer, Long, Single, Double, Currency, Date, String, Object,
/// Error, Boolean, Decimal or Byte. Copied by value; numeric Values never allocate. The accessor
/// of a kind may only be called on a Value of that kind, except asString() and asObject(), which
/// give the empty text and no object for the other kinds.
///
/// The payload of every kind shares one place, so that a Value stays small: evaluating an
/// expression makes, moves and drops Values all the time.
class Value
{
public:
    /// Empty.
    Value() = default;
    Value(const Value& other)
        : m_kind(other.m_kind)
    {
        copyPayload(other);
    }
    Value(Value&& other) noexcept
        : m_kind(other.m_kind)
    {
        movePayload(other);
    }
    Value& operator=(const Value& other)
    {
        if (this != &other) {
            destroyPayload();
            m_kind = other.m_kind;
            copyPayload(other);
        }
        return *this;
    }
    Value& operator=(Value&& other) noexcept
    {
        if (this != &other) {
            destroyPayload();
            m_kind = other.m_kind;
            movePayload(other);
        }
        return *this;
    }
    ~Value() { destroyPayload(); }

    static Value makeEmpty() { return Value(); }
    static Value makeNull() { return Value(Kind::Null); }
    static Value makeInteger(std::int16_t value);
    static Value makeLong(std::int32_t value);
    static Value makeSingle(float value);
    static Value makeDouble(double value);
    static Value makeCurrency(Currency value);
    /// A Date from its serial: days since 30 December 1899, the fraction the time of day.
    static Value makeDate(double serial);
    static Value makeString(QString text);
    /// A reference to an object; a null pointer is Nothing.
    static Value makeObject(std::shared_ptr<ValueObject> object);
    /// An Error Value with its error number (0 to 65535).
    static Value makeError(int number);
    static Value makeBoolean(bool value);
    static Value makeDecimal(Decimal value);
    static Value makeByte(std::uint8_t value);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isNull() const { return m_kind == Kind::Null; }

    std::int16_t asInteger() const { return std::int16_t(m_payload.integer); }
    std::int32_t asLong() const { return std::int32_t(m_payload.integer); }
    float asSingle() const { return m_payload.single; }
    double asDouble() const { return m_payload.real; }
    Currency asCurrency() const { return Currency{m_payload.integer}; }
    /// The serial of a Date.
    double asDate() const { return m_payload.real; }
    /// The text of a String; the empty text for any other kind.
    const QString& asString() const { return m_kind == Kind::String ? m_payload.text : noText(); }
    /// The object of an Object Value; null for Nothing and for any other kind.
    const std::shared_ptr<ValueObject>& asObject() const
    {
        return m_kind == Kind::Object ? m_payload.object : noObject();
    }
    int errorNumber() const { return int(m_payload.integer); }
    bool asBoolean() const { return m_payload.integer != 0; }
    Decimal asDecimal() const { return m_payload.decimal; }
    std::uint8_t asByte() const { return std::uint8_t(m_payload.integer); }

    /// Same kind and same payload (Strings by code units, Objects by reference); not the "="
    /// operator, which compares across kinds.
    friend bool operator==(const Value& left, const Value& right);

private:
    explicit Value(Kind kind)
        : m_kind(kind)
    {}

    static const QString& noText();
    static const std::shared_ptr<ValueObject>& noObject();

    void copyPayload(const Value& other)
    {
        if (m_kind == Kind::String)
            new (&m_payload.text) QString(other.m_payload.text);
        else if (m_kind == Kind::Object)
            new (&m_payload.object) std::shared_ptr<ValueObject>(other.m_payload.object);
        else
            m_payload.decimal = other.m_payload.decimal;
    }

    // The other Value keeps its kind with an empty payload: a null text or no object.
    void movePayload(Value& other)
    {
        if (m_kind == Kind::String)
            new (&m_payload.text) QString(std::move(other.m_payload.text));
        else if (m_kind == Kind::Object)
            new (&m_payload.object) std::shared_ptr<ValueObject>(std::move(other.m_payload.object));
        else
            m_payload.decimal = other.m_payload.decimal;
    }

    void destroyPayload()
    {
        if (m_kind == Kind::String)
            m_payload.text.~QString();
        else if (m_kind == Kind::Object)
            m_payload.object.~shared_ptr();
    }

    union Payload {
        Payload()
            : decimal()
        {}
        ~Payload() {}
        std::int64_t integer; // Byte, Integer, Long, Boolean (-1 or 0), Error, Currency
        float single;
        double real; // Double and Date
        Decimal decimal;
        QString text;
        std::shared_ptr<ValueObject> object;
    };

    Kind m_kind = Kind::Empty;
    Payload m_payload;
};

// The kinds an evaluation makes all the time are made inline.

inline Value Value::makeInteger(std::int16_t value)
{
    Value result(Kind::Integer);
    result.m_payload.integer = value;
    return result;
}

inline Value Value::makeLong(std::int32_t value)
{
    Value result(Kind::Long);
    result.m_payload.integer = value;
    return result;
}

inline Value Value::makeSingle(float value)
{
    Value result(Kind::Single);
    result.m_payload.single = value;
    return result;
}

inline Value Value::makeDouble(double value)
{
    Value result(Kind::Double);
    result.m_payload.real = value;
    return result;
}

inline Value Value::makeString(QString text)
{
    Value result(Kind::String);
    new (&result.m_payload.text) QString(std::move(text));
    return result;
}

inline Value Value::makeError(int number)
{
    Value result(Kind::Error);
    result.m_payload.integer = number;
    return result;
}

inline Value Value::makeBoolean(bool value)
{
    Value result(Kind::Boolean);
    result.m_payload.integer = value ? -1 : 0;
    return result;
}

/// The TypeName text of a Value: that of its kind, or for an object its class name, "Nothing"
/// for a reference to no object.
QString typeName(const Value& value);

/// A Value with an object replaced by its default value; copies nothing unless it is an object.
/// Raises Object variable not set (91) for Nothing. Must not outlive the Value it views.
class ResolvedValue
{
public:
    explicit ResolvedValue(const Value& value);
    ResolvedValue(const ResolvedValue&) = delete;
    ResolvedValue& operator=(const ResolvedValue&) = delete;

    const Value& operator*() const { return *m_value; }
    const Value* operator->() const { return m_value; }

private:
    const Value* m_value;
    Value m_storage;
};

/// The Value that stands for `value` where a value is needed: an object's default value
/// (followed through objects returning objects); any other Value itself. Raises Object variable
/// not set (91) for Nothing.
Value resolveObject(const Value& value);

} // namespace reelkeep
