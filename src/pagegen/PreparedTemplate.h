// A template file cut once into its literal bytes and its expressions, ready to be copied into a
// page any number of times.
#pragma once

#include "evaluator/Equation_Evaluater.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

namespace reelkeep {

/// One stretch of a template: literal bytes, then the expression that follows them, if any.
struct TemplatePiece
{
    /// The literal bytes, NUL bytes already dropped.
    QByteArray literal;
    /// The line on which the literal ends and the expression, if any, begins.
    int line = 1;
    bool hasExpression = false;
    /// The expression text, as the filter hands it to the evaluator: a space and the characters
    /// between the brackets.
    PreparedEquation expression;
};

/// A template's bytes as pieces: a "[" opens an expression and the next "]" (or the end of the
/// file) closes it; neither bracket is copied.
class PreparedTemplate
{
public:
    /// Cuts the bytes into pieces. Expression texts are read as UTF-8 when `utf8`, otherwise as
    /// Windows-1252, and prepared on `evaluator`.
    PreparedTemplate(QByteArrayView bytes, bool utf8, const Equation_Evaluater& evaluator);

    const std::vector<TemplatePiece>& pieces() const { return m_pieces; }
    /// The bytes it was cut from.
    const QByteArray& bytes() const { return m_bytes; }
    /// Whether its expression texts were read as UTF-8: whether the run it was prepared for
    /// reads and writes UTF-8.
    bool isUtf8() const { return m_utf8; }

private:
    QByteArray m_bytes;
    bool m_utf8;
    std::vector<TemplatePiece> m_pieces;
};

} // namespace reelkeep
