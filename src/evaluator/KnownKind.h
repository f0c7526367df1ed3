// What is known of an operand's Values before an expression is evaluated.
#pragma once

#include <cstdint>

namespace reelkeep {

/// The kinds every Value an operand can give falls in, as far as they are known without
/// evaluating it.
enum class KnownKind : std::uint8_t
{
    Any,     // nothing is known
    Text,    // a String or Empty
    Boolean, // a Boolean
};

/// What is known of a Value that is one of two operands' Values.
constexpr KnownKind eitherKind(KnownKind first, KnownKind second)
{
    return first == second ? first : KnownKind::Any;
}

} // namespace reelkeep
