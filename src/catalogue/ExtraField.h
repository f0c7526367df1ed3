// Extra fields: what a list keeps for each film beyond the seventeen fields, each with a name and
// a kind, and the rules their names and values keep.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace reelkeep {

struct FilmRecord;

// ORDER ExtraKind: the rows of the kinds' table.
enum class ExtraKind
{
    Text,
    LongText,
    Number,
    Rating,
    YesNo,
    Date,
};

inline constexpr int ExtraKindCount = 6;

/// Every fact about one kind of extra field. A value is held as its kind's canonical text; the
/// empty text is no value, in every kind.
struct ExtraKindFacts
{
    ExtraKind kind;
    /// How list files and the JSON dump name the kind: "text", "longtext", "yesno"...
    QStringView key;
    /// How the program names the kind to people, in dialogs, messages and spreadsheet headers:
    /// "text", "long text", "yes/no"...
    QStringView words;
    /// What a value of the kind is, for a message: "a rating from 0 to 10".
    QStringView valueWords;
    /// Every text is a value of the kind as it is: canonical() gives it back unchanged.
    bool keepsEveryText;
    /// The canonical text of a value as people type it (never the empty text), or nothing when
    /// the text is no value of the kind.
    std::optional<QString> (*canonical)(QStringView typed);
    /// Whether a text that is not empty is a canonical text of the kind: a check that loading and
    /// saving make of every value, so it takes no memory.
    bool (*isCanonical)(QStringView text);
    /// Where a canonical value stands in the kind's order, for kinds ordered by value (numbers,
    /// ratings, dates, no before yes); null for kinds ordered as texts are, by the titles' collation.
    double (*orderValue)(QStringView canonical);
};

/// The facts of a kind.
const ExtraKindFacts& kindFacts(ExtraKind kind);

/// The kind whose key ("longtext") is the text, exactly.
std::optional<ExtraKind> kindOfKey(QStringView key);

/// The kind whose words ("long text") are the text, whatever its case.
std::optional<ExtraKind> kindOfWords(QStringView words);

/// The canonical text of a typed value in a kind: the empty text for a text of nothing but spaces,
/// nothing when the text is no value of the kind.
std::optional<QString> canonicalValue(ExtraKind kind, QStringView typed);

/// Whether a text is a value of the kind as the kind holds it: empty, or its own canonical text.
bool isCanonicalValue(ExtraKind kind, QStringView text);

/// One extra field of a list.
struct ExtraField
{
    QString name;
    ExtraKind kind = ExtraKind::Text;

    bool operator==(const ExtraField&) const = default;
};

/// A list's extra fields in their order, which is the order of each film's values
/// (FilmRecord::extra). Names are unique without regard to case.
using ExtraFields = QList<ExtraField>;

/// How the program names the kind of an extra field: the kind's words, or "rating out of 5" for
/// ratings out of 5, which an import doubles.
QString kindWords(ExtraKind kind, bool outOfFive = false);

/// An extra field as headings and a spreadsheet's header name it: "Rating (rating)", the name and
/// the kind's words (kindWords()) in brackets.
QString headerOfExtraField(const ExtraField& field, bool outOfFive = false);

/// The most extra fields a list has.
inline constexpr qsizetype MaxExtraFields = 64;
/// The most characters an extra field's name has.
inline constexpr qsizetype MaxExtraFieldNameLength = 64;

/// Whether templates read a film's name of their own as list.NAME (the page generator's answer),
/// which a new extra field's name may then not take.
using AnsweredName = bool (*)(QStringView name);

/// The position of the field called name, whatever the case, or -1.
qsizetype extraFieldIndex(const ExtraFields& fields, QStringView name);

/// Why a name cannot name an extra field of the list, in words for the user; the empty text when
/// it can. Every name keeps the lasting rules: one line of at most MaxExtraFieldNameLength
/// characters without spaces at its ends, none of the seventeen field names, no other field's
/// name (the field at `renamed` aside). A name being given also stays clear of the names that
/// `answered` says templates use; loading a list does not ask this, so that a name the page
/// generator comes to answer later never keeps a list from loading.
QString extraFieldNameProblem(const ExtraFields& fields,
                              QStringView name,
                              AnsweredName answered = nullptr,
                              qsizetype renamed = -1);

/// A name a new field may take, as close to `wanted` as the rules allow: wanted on one line and
/// trimmed to the longest name, "Extra field" for nothing, then " 2", " 3"... until no rule refuses it.
QString freeExtraFieldName(const ExtraFields& fields, QStringView wanted, AnsweredName answered);

/// Whether some film has a value in the field at position `field`.
bool extraFieldHoldsValues(const QList<FilmRecord>& films, qsizetype field);

/// Takes the field at position `field` out of the list, with every film's value in it.
void removeExtraField(ExtraFields& fields, QList<FilmRecord>& films, qsizetype field);

/// Each film's value in the field at position `field`, in the films' order, up to the last film that
/// holds one: what insertExtraField() takes to undo removeExtraField().
QStringList extraFieldValues(const QList<FilmRecord>& films, qsizetype field);

/// Puts a field in at a position, each film taking its value from `values` (none past its end).
void insertExtraField(ExtraFields& fields,
                      QList<FilmRecord>& films,
                      qsizetype position,
                      const ExtraField& field,
                      const QStringList& values);

/// Moves a field from one position to another, with every film's value in it.
void moveExtraField(ExtraFields& fields, QList<FilmRecord>& films, qsizetype from, qsizetype to);

} // namespace reelkeep
