// The template variable store.
#include "pagegen/TemplateVariables.h"

#include "evaluator/value/Compare.h"
#include "evaluator/value/RuntimeError.h"

namespace reelkeep {

int TemplateVariables::Find_Variable(const QString& Name) const
{
    // No two names compare equal, so the one name equal to this spelling is the answer.
    if (const auto known = m_positions.constFind(Name); known != m_positions.cend())
        return *known;
    for (int position = 1; position <= count(); ++position) {
        if (compareStrings(Name, m_names.at(position - 1), CompareMode::Text) == 0) {
            m_positions.insert(Name, position);
            return position;
        }
    }
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
    m_positions.insert(Name, count());
}

} // namespace reelkeep
