// The evaluated arguments of one function call, read by position from 1.
#pragma once

#include "evaluator/value/RuntimeError.h"
#include "evaluator/value/Value.h"

#include <QVarLengthArray>

namespace reelkeep {

/// The ordered argument Values of one call, in written order. Positions count from 1, as the
/// built-in library and the host read them; reading a position the call did not supply raises
/// Subscript out of range (9).
class ArgumentList
{
public:
    ArgumentList() = default;
    ArgumentList(std::initializer_list<Value> values)
        : m_values(values)
    {}

    int count() const { return static_cast<int>(m_values.size()); }
    const Value& item(int position) const
    {
        if (position < 1 || position > count())
            raise(ErrorNumber::SubscriptOutOfRange);
        return m_values[position - 1];
    }
    Value& item(int position)
    {
        if (position < 1 || position > count())
            raise(ErrorNumber::SubscriptOutOfRange);
        return m_values[position - 1];
    }
    void append(Value value) { m_values.append(std::move(value)); }
    void clear() { m_values.clear(); }

private:
    // Most calls take up to four arguments; those never allocate for the list itself.
    QVarLengthArray<Value, 4> m_values;
};

} // namespace reelkeep
