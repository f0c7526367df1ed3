// The evaluated arguments of one function call, read by position from 1.
#pragma once

#include "value/RuntimeError.h"
#include "value/Value.h"

#include <algorithm>
#include <forward_list>
#include <initializer_list>
#include <memory>

namespace reelkeep {

/// The ordered argument Values of one call, in written order. Positions count from 1, as the
/// built-in library and the host read them; reading a position the call did not supply raises
/// Subscript out of range (9).
///
/// An argument is either shared, a Value that outlives the list and is read in place (what the
/// evaluator passes: it copies nothing), or the list's own. Changing an argument through item()
/// first gives the list its own copy, so a shared Value never changes.
class ArgumentList
{
public:
    ArgumentList() = default;
    ArgumentList(std::initializer_list<Value> values)
    {
        for (const Value& value : values)
            append(value);
    }
    ArgumentList(const ArgumentList&) = delete;
    ArgumentList& operator=(const ArgumentList&) = delete;

    int count() const { return m_count; }

    const Value& item(int position) const
    {
        checkPosition(position);
        return *m_items[position - 1];
    }

    Value& item(int position)
    {
        checkPosition(position);
        const Value*& entry = m_items[position - 1];
        if (!isOwn(entry))
            entry = &own(*entry);
        return const_cast<Value&>(*entry);
    }

    void append(Value value) { push(&own(std::move(value))); }

    /// Appends a Value that stays alive and unchanged for as long as the list exists.
    void appendShared(const Value& value) { push(&value); }

    void clear()
    {
        m_count = 0;
        m_own.reset();
    }

private:
    // Most calls take up to six arguments; those never allocate.
    static constexpr int InlineCount = 6;

    void checkPosition(int position) const
    {
        if (position < 1 || position > m_count)
            raise(ErrorNumber::SubscriptOutOfRange);
    }

    void push(const Value* value)
    {
        if (m_count == m_capacity)
            grow();
        m_items[m_count++] = value;
    }

    void grow()
    {
        auto larger = std::make_unique<const Value*[]>(size_t(m_capacity) * 2);
        std::copy_n(m_items, m_count, larger.get());
        m_heap = std::move(larger);
        m_items = m_heap.get();
        m_capacity *= 2;
    }

    // The list's own Values never move while it lives: its items point at them. Most lists have
    // none, and then never allocate the list of them.
    Value& own(Value value)
    {
        if (!m_own)
            m_own = std::make_unique<std::forward_list<Value>>();
        return m_own->emplace_front(std::move(value));
    }

    bool isOwn(const Value* value) const
    {
        return m_own &&
               std::any_of(m_own->begin(), m_own->end(), [value](const Value& own) { return &own == value; });
    }

    const Value* m_inline[InlineCount];
    const Value** m_items = m_inline;
    int m_count = 0;
    int m_capacity = InlineCount;
    std::unique_ptr<const Value*[]> m_heap;
    std::unique_ptr<std::forward_list<Value>> m_own;
};

} // namespace reelkeep
