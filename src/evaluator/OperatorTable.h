// The operator table: which texts are operators and how tightly each binds.
#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace reelkeep {

/// The operations an operator text denotes; "<=" and "=<" are one, as are ">=" and "=>".
enum class Operation : std::uint8_t
{
    Power,
    Multiply,
    Divide,
    IntegerDivide,
    Modulo,
    Add,
    Subtract,
    Concatenate,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessOrEqual,
    GreaterOrEqual,
    Like,
    Is,
    Not,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
};

/// One filled cell of the table: its text and the operation it denotes.
struct OperatorCell
{
    QString text;
    Operation operation = Operation::Power;
};

/// Where an operator text stands in the table; a text that is in no row is never applied.
struct OperatorPlace
{
    static constexpr int NoRow = -1;
    int row = NoRow;
    Operation operation = Operation::Power;
};

/// A grid of 13 rows (row 0 binds tightest) and 10 columns; within a row the filled cells come
/// first. Filled once and read-only afterwards.
class OperatorTable
{
public:
    static constexpr int Rows = 13;
    static constexpr int Columns = 10;
    static constexpr int MaxCellLength = 4;

    OperatorTable();

    /// The cell at a row and column; an empty text where the row has ended.
    const OperatorCell& cell(int row, int column) const { return m_cells[row][column]; }

    /// The place of an operator text, ignoring its case: the row whose cell equals its lower-case form.
    OperatorPlace find(QStringView text) const;

    /// The first text of the table that denotes an operation ("<=" for "=<" too).
    QString textOf(Operation operation) const;

private:
    std::array<std::array<OperatorCell, Columns>, Rows> m_cells;
};

} // namespace reelkeep
