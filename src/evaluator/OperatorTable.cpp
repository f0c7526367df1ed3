// The thirteen precedence rows of the operator table.
#include "evaluator/OperatorTable.h"

#include <initializer_list>

namespace reelkeep {

OperatorTable::OperatorTable()
{
    using enum Operation;
    const auto fillRow = [this](int row, std::initializer_list<OperatorCell> cells) {
        int column = 0;
        for (const OperatorCell& cell : cells)
            m_cells[row][column++] = cell;
    };
    fillRow(0, {{QStringLiteral("^"), Power}});
    fillRow(1, {{QStringLiteral("*"), Multiply}, {QStringLiteral("/"), Divide}});
    fillRow(2, {{QStringLiteral("\\"), IntegerDivide}});
    fillRow(3, {{QStringLiteral("mod"), Modulo}});
    fillRow(4, {{QStringLiteral("+"), Add}, {QStringLiteral("-"), Subtract}});
    fillRow(5, {{QStringLiteral("&"), Concatenate}});
    fillRow(6,
            {{QStringLiteral("="), Equal},
             {QStringLiteral("<>"), NotEqual},
             {QStringLiteral("<"), Less},
             {QStringLiteral(">"), Greater},
             {QStringLiteral("<="), LessOrEqual},
             {QStringLiteral(">="), GreaterOrEqual},
             {QStringLiteral("like"), Like},
             {QStringLiteral("is"), Is},
             {QStringLiteral("=<"), LessOrEqual},
             {QStringLiteral("=>"), GreaterOrEqual}});
    fillRow(7, {{QStringLiteral("not"), Not}});
    fillRow(8, {{QStringLiteral("and"), And}});
    fillRow(9, {{QStringLiteral("or"), Or}});
    fillRow(10, {{QStringLiteral("xor"), Xor}});
    fillRow(11, {{QStringLiteral("eqv"), Eqv}});
    fillRow(12, {{QStringLiteral("imp"), Imp}});
}

OperatorPlace OperatorTable::find(QStringView text) const
{
    // Every cell is at most four characters; a longer text is no operator.
    if (text.isEmpty() || text.size() > MaxCellLength)
        return {};
    // Lower-case ASCII into a small buffer; other letters (a Kelvin sign lowers to "k") take
    // the full Unicode rule.
    char16_t buffer[MaxCellLength];
    QString unicodeLowered;
    QStringView lowered(buffer, text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit > 0x7F) {
            unicodeLowered = text.toString().toLower();
            lowered = unicodeLowered;
            break;
        }
        buffer[i] = unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit;
    }
    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns && !m_cells[row][column].text.isEmpty(); ++column) {
            if (m_cells[row][column].text == lowered)
                return {row, m_cells[row][column].operation};
        }
    }
    return {};
}

QString OperatorTable::textOf(Operation operation) const
{
    for (const auto& row : m_cells)
        for (const OperatorCell& cell : row)
            if (!cell.text.isEmpty() && cell.operation == operation)
                return cell.text;
    return QString();
}

} // namespace reelkeep
