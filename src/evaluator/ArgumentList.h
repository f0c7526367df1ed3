// The evaluated arguments of one function call, read by position from 1.
#pragma once

#include "evaluator/value/RuntimeError.h"
#include "evaluator/value/Value.h"

#include <QVarLengthArray>

#include <deque>
#include <initializer_list>
#include <memory>
#include <new>

namespace reelkeep {

/// The ordered argument Values of one call, in written order. Positions count from 1, as the
/// built-in library and the host read them; reading a position the call did not supply raises
/// Subscript out of range (9).
///
/// An argument is either the list's own Value or a shared one: a Value that outlives the list
/// (a constant of the expression), read in place so that passing it copies nothing. Changing an
/// argument through item() first gives the list its own copy, so a shared Value never changes.
class ArgumentList
{
public:
    ArgumentList() = default;
    ArgumentList(std::initializer_list<Value> values)
    {
        for (const Value& value : values)
            append(value);
    }
    ~ArgumentList() { destroyOwned(); }
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;

    int count() const { return static_cast<int>(m_items.size()); }

    const Value& item(int position) const
    {
        checkPosition(position);
        return *m_items[position - 1].value;
    }

    Value& item(int position)
    {
        checkPosition(position);
        Item& entry = m_items[position - 1];
        if (!entry.owned)
            entry = {&own(*entry.value), true};
        return *const_cast<Value*>(entry.value);
    }

    void append(Value value) { m_items.append({&own(std::move(value)), true}); }

    /// Appends a Value that stays alive and unchanged for as long as the list exists.
    void appendShared(const Value& value) { m_items.append({&value, false}); }

    void clear()
    {
        destroyOwned();
        m_items.clear();
    }

private:
    // Most calls take up to four arguments; those never allocate.
    static constexpr int InlineCount = 4;

    struct Item
    {
        const Value* value;
        bool owned;
    };

    void checkPosition(int position) const
    {
        if (position < 1 || position > count())
            raise(ErrorNumber::SubscriptOutOfRange);
    }

    // A place for an own Value that never moves while the list lives: shared items and the
    // holder's references point at it.
    Value& own(Value value)
    {
        if (m_inlineUsed < InlineCount)
            return *new (inlineSlot(m_inlineUsed++)) Value(std::move(value));
        if (!m_overflow)
            m_overflow = std::make_unique<std::deque<Value>>();
        return m_overflow->emplace_back(std::move(value));
    }

    Value* inlineSlot(int index)
    {
        return std::launder(reinterpret_cast<Value*>(m_inline + index * sizeof(Value)));
    }

    void destroyOwned()
    {
        for (int i = 0; i < m_inlineUsed; ++i)
            inlineSlot(i)->~Value();
        m_inlineUsed = 0;
        m_overflow.reset();
    }

    QVarLengthArray<Item, InlineCount> m_items;
    int m_inlineUsed = 0;
    alignas(Value) unsigned char m_inline[InlineCount * sizeof(Value)];
    std::unique_ptr<std::deque<Value>> m_overflow;
};

} // namespace reelkeep
