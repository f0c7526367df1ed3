// The template variable store.
#include "pagegen/TemplateVariables.h"

#include "value/Compare.h"
#include "value/RuntimeError.h"

namespace reelkeep {

int TemplateVariables::Find_Variable(const QString& Name) const
{
    // No two names compare equal, so the one name equal to this spelling is the answer.
    if (const auto known = m_positions.constFind(Name); known != m_positions.cend())
        return *known;
    // StrComp puts the empty text before every other, even one whose characters the collation
    // ignores and whose key is the empty text's: the empty name is found by itself.
    if (!Name.isEmpty()) {
        if (const auto found = m_byKey.find(textSortKey(Name)); found != m_byKey.end()) {
            m_positions.insert(Name, found->second);
            return found->second;
        }
    }
    // The scan for a missing name runs past the last position a 16-bit number can count.
    if (count() >= MaxVariables)
        raise(ErrorNumber::Overflow);
    return 0;
}

Value TemplateVariables::Get_Variable(const QString& Name) const
{
    const int position = Find_Variable(Name);
    return position == 0 ? Value() : m_values.at(position - 1);
}

void TemplateVariables::Set_Variable(const QString& Name, const Value& value)
{
    const int position = Find_Variable(Name);
    if (position != 0) {
        m_values[position - 1] = value;
        return;
    }
    m_names.append(Name);
    m_values.append(value);
    if (!Name.isEmpty())
        m_byKey.emplace(textSortKey(Name), count());
    m_positions.insert(Name, count());
}

} // namespace reelkeep
