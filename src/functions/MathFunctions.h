// Arithmetic functions: Abs, Atn, Cos, Exp, Fix, Int, Log, Sgn, Sqr, and Rnd's number sequence.
#pragma once

#include "value/Value.h"

#include <cstdint>
#include <optional>

namespace reelkeep {

/// Abs: the magnitude in the argument's kind (a Boolean as an Integer, a String as a Double).
/// Null stays Null, Empty is the Integer 0. The one magnitude an Integer or a Long cannot hold
/// moves up a kind (Abs of the Integer -32768 is the Long 32768); Currency's raises Overflow (6).
Value abs(const Value& number);
/// Int: the largest whole number not above the argument, in its kind (Int(-8.4) is -9). Null
/// stays Null, Empty is the Integer 0, a Boolean an Integer, a String a Double.
Value intPart(const Value& number);
/// Fix: the argument truncated toward zero, in its kind (Fix(-8.4) is -8); otherwise as intPart.
Value fix(const Value& number);
/// Atn: the arctangent in radians.
Value atn(double number);
/// Cos: the cosine of an angle in radians.
Value cos(double number);
/// Exp: e to the power; Overflow (6) when the result is beyond the Double range.
Value exp(double number);
/// Log: the natural logarithm; Invalid procedure call (5) for 0 and negative numbers.
Value log(double number);
/// Sgn: the Integer -1, 0 or 1.
Value sgn(double number);
/// Sqr: the square root; Invalid procedure call (5) for negative numbers.
Value sqr(double number);

/// Rnd's sequence: a 24-bit linear congruential generator with the constants of the standard
/// runtime (start 327680, multiplier 1140671485, increment 12820163, modulus 2^24), so that the
/// numbers match the standard's Rnd call for call. Each number is the state / 2^24, a Single in
/// [0, 1).
class RandomSequence
{
public:
    /// Rnd: no argument or a positive one gives the next number; 0 repeats the last number
    /// (the start state's before any call); a negative one seeds the sequence from the bits of
    /// its Single and gives the number after that seed, so the same negative argument always
    /// gives the same number. The argument is Let-coerced to Single (Null raises 94).
    Value rnd(const std::optional<Value>& number);

private:
    void advance();
    Value current() const;

    std::uint32_t m_state = 0x50000;
};

} // namespace reelkeep
