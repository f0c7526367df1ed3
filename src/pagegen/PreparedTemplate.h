// A template file cut once into its literal bytes and its expressions, ready to be copied into a
// page any number of times, and the programs of its expressions that one run prepares.
#pragma once

#include "evaluator/Equation_Evaluater.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reelkeep {

/// One stretch of a template: literal bytes, then the expression that follows them, if any. Twelve
/// bytes, so that a template of nothing but empty expressions ("[]" repeated) costs six times its
/// size: positions in the template's bytes rather than copies of them.
struct TemplatePiece
{
    /// Where the literal begins and ends in the template's bytes (NUL bytes not yet dropped); the
    /// expression, if any, begins at its end with a "[".
    std::uint32_t literalStart = 0;
    std::uint32_t literalEnd = 0;
    /// The expression's place among the template's distinct expressions, or NoExpression.
    std::int32_t expression = NoExpression;

    static constexpr std::int32_t NoExpression = -1;
};

/// A template's bytes as pieces: a "[" opens an expression and the next "]" (or the end of the
/// file) closes it; neither bracket is copied. Expressions of the same text share one place, so
/// that a run prepares each distinct text once (TemplatePrograms). Nothing in it changes once it
/// is cut: one template may be copied by several runs at once.
class PreparedTemplate
{
public:
    /// Cuts the bytes into pieces. Expression texts are read as UTF-8 when `utf8`, otherwise as
    /// Windows-1252. At most MaxTemplateBytes bytes.
    PreparedTemplate(QByteArray bytes, bool utf8);

    const std::vector<TemplatePiece>& pieces() const { return m_pieces; }
    /// A piece's literal bytes, NUL bytes included: the page drops them.
    QByteArrayView literal(const TemplatePiece& piece) const
    {
        return QByteArrayView(m_bytes).sliced(piece.literalStart, piece.literalEnd - piece.literalStart);
    }
    /// How many distinct expressions the pieces have: their places count from 0.
    std::size_t expressionCount() const { return m_expressionCount; }
    /// The expression of a piece that has one as the filter hands it to the evaluator: a space
    /// and the characters between the brackets.
    QString expressionText(const TemplatePiece& piece) const;
    /// What a piece's brackets say that its author most likely did not mean, put into the
    /// findings of its expression: a "[" the end of the file closes comes first, and a "[" inside
    /// the expression (a "]" missing before the next expression) says all.
    void findBracketMistakes(const TemplatePiece& piece, QStringList& findings) const;
    /// A piece's expression as written, brackets included, shortened to about 40 characters and
    /// kept on one line.
    QString shownExpression(const TemplatePiece& piece) const;
    /// The line on which a piece's literal ends and its expression, if any, begins. Counts at
    /// most LineMarkStride bytes, so that telling every warning of a template costs its size once.
    int lineOf(const TemplatePiece& piece) const;
    /// The bytes it was cut from.
    const QByteArray& bytes() const { return m_bytes; }
    /// Whether its expression texts were read as UTF-8: whether the run it was prepared for
    /// reads and writes UTF-8.
    bool isUtf8() const { return m_utf8; }

private:
    /// Bytes between two line marks: a mark costs 4 bytes, so the marks hold a thousandth of the
    /// template's size.
    static constexpr std::size_t LineMarkStride = 4096;

    /// The line of a position in the template's bytes.
    int lineAt(qsizetype position) const;
    /// The characters between a piece's brackets.
    QByteArrayView textOf(const TemplatePiece& piece) const;
    void markLines();

    QByteArray m_bytes;
    bool m_utf8;
    std::vector<TemplatePiece> m_pieces;
    std::size_t m_expressionCount = 0;
    /// The line breaks before each multiple of LineMarkStride bytes.
    std::vector<std::uint32_t> m_lineMarks;
    /// The expression that the end of the file closes, or NoExpression.
    std::int32_t m_openExpression = TemplatePiece::NoExpression;
};

/// The programs of a template's expressions for one run: each expression is prepared the first
/// time the run evaluates it, and at most MaxKeptPrograms programs are kept, the oldest going
/// first. So a template of a million different expressions costs a few times its bytes, while
/// the few expressions of a template copied once per film are prepared once.
class TemplatePrograms
{
public:
    /// The programs a run keeps for one template. The evaluator's own store, as large
    /// (Equation_Evaluater::MaxKeptPrograms), holds the programs of texts it is handed whole (a
    /// group's value evaluated again, reelkeep-cli eval), never a template's expression, and lets
    /// them go otherwise: a template lets its oldest program go, as its expressions come back in
    /// the same order film after film, while texts made at run time come in no order, so the
    /// evaluator empties its store whole.
    static constexpr std::size_t MaxKeptPrograms = 4096;

    /// With `findMistakes`, preparing an expression also finds what it does that its author most
    /// likely did not mean (findings()).
    TemplatePrograms(const PreparedTemplate& input, bool findMistakes);
    TemplatePrograms(const TemplatePrograms&) = delete;
    TemplatePrograms& operator=(const TemplatePrograms&) = delete;

    /// The expression of a piece that has one, prepared on `evaluator`. A copy, so that the
    /// program lives on while evaluating it prepares others and lets this one go.
    PreparedEquation expression(const TemplatePiece& piece, const Equation_Evaluater& evaluator)
    {
        std::int32_t& kept = m_keptAt[size_t(piece.expression)];
        if (kept == NotKept)
            kept = prepare(piece, evaluator);
        return m_kept[size_t(kept)].program;
    }
    /// What preparing a piece's expression found, in words, or null when nothing: only when
    /// finding mistakes, and for a piece whose expression was prepared.
    const QStringList* findings(const TemplatePiece& piece) const
    {
        if (m_findingsAt.empty() || m_findingsAt[size_t(piece.expression)] < 0)
            return nullptr;
        return &m_findings[size_t(m_findingsAt[size_t(piece.expression)])];
    }

private:
    struct KeptProgram
    {
        std::int32_t expression;
        PreparedEquation program;
    };
    static constexpr std::int32_t NotKept = -1;
    static constexpr std::int32_t NothingFound = -1;
    static constexpr std::int32_t NotPrepared = -2;

    /// Prepares the piece's expression and keeps it in place of the oldest; returns its place.
    std::int32_t prepare(const TemplatePiece& piece, const Equation_Evaluater& evaluator);

    const PreparedTemplate& m_input;
    /// For each distinct expression, its place in m_kept, or NotKept.
    std::vector<std::int32_t> m_keptAt;
    /// The programs kept, the oldest at m_oldestKept once all places are taken.
    std::vector<KeptProgram> m_kept;
    std::size_t m_oldestKept = 0;
    /// For each distinct expression when finding mistakes: its place in m_findings,
    /// NotPrepared, or NothingFound. Empty when not finding them.
    std::vector<std::int32_t> m_findingsAt;
    std::vector<QStringList> m_findings;
};

} // namespace reelkeep
