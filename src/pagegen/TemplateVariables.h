// The template variable store: named Values that templates keep with setvar and getvar.
#pragma once

#include "value/Value.h"

#include <QCollatorSortKey>
#include <QHash>
#include <QList>
#include <QString>

#include <map>

namespace reelkeep {

/// Variables live from their first setting until the program ends, across page runs. Names
/// compare as StrComp does in text mode (case does not matter) and keep the spelling of their
/// first setting; positions count from 1 and never change.
class TemplateVariables
{
public:
    /// Positions are signed 16-bit numbers.
    static constexpr int MaxVariables = 32767;

    /// The position of the variable with that name, or 0. Raises Overflow (6) for a name that
    /// is not there when the store is full, as the scan's position passes 32,767.
    int Find_Variable(const QString& Name) const;
    /// A copy of the variable's Value, or Empty when it was never set.
    Value Get_Variable(const QString& Name) const;
    /// Creates the variable or replaces its Value, keeping its position and first spelling.
    void Set_Variable(const QString& Name, const Value& value);

    int count() const { return static_cast<int>(m_names.size()); }
    const QString& nameAt(int position) const { return m_names.at(position - 1); }

private:
    struct SortKeyLess
    {
        bool operator()(const QCollatorSortKey& left, const QCollatorSortKey& right) const
        {
            return left.compare(right) < 0;
        }
    };

    QList<QString> m_names;
    QList<Value> m_values;
    /// Each variable's collation key: names compare equal exactly when their keys do, so a
    /// look-up takes a logarithmic search instead of a comparison with every name.
    std::map<QCollatorSortKey, int, SortKeyLess> m_byKey;
    /// Spellings already looked up, to their positions, found again without collating them.
    mutable QHash<QString, int> m_positions;
};

} // namespace reelkeep
