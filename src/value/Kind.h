// The kinds a Value can hold, with the kind numbers that vartype shows to template authors.
#pragma once

#include <QStringView>

#include <cstdint>

namespace reelkeep {

// ORDER Kind: the kinds and their numbers; typeName() in Kind.cpp follows the same order.
enum class Kind : std::uint8_t
{
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Error = 10,
    Boolean = 11,
    Decimal = 14,
    Byte = 17,
};

/// The TypeName text of a kind: "Empty", "Null", "Integer", ..., "Decimal", "Byte".
QStringView typeName(Kind kind);

/// True for the kinds that hold a number: Byte, Integer, Long, Single, Double, Currency, Decimal.
constexpr bool isNumericKind(Kind kind)
{
    switch (kind) {
    case Kind::Byte:
    case Kind::Integer:
    case Kind::Long:
    case Kind::Single:
    case Kind::Double:
    case Kind::Currency:
    case Kind::Decimal:
        return true;
    default:
        return false;
    }
}

} // namespace reelkeep
