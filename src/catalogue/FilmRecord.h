// One film entry: seventeen text fields in a fixed order shared by memory, list files and pages,
// and the values of the list's extra fields.
#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace reelkeep {

// ORDER Field: the order of the fields in memory, in both list-file forms and for the page generator.
enum class Field
{
    Title,
    Release,
    Type,
    Time,
    Genre,
    Date,
    Plot,
    Comment,
    Cast,
    ImgSrc,
    ImgLink,
    WebText1,
    WebUrl1,
    WebText2,
    WebUrl2,
    WebText3,
    WebUrl3,
};

inline constexpr int FieldCount = 17;

/// The field's lower-case name ("title" ... "weburl3"), as templates and the JSON dump spell it.
QStringView fieldName(Field field);

/// How the window names the field to people, as a column's header: "Title", "Web site 1 URL".
QStringView fieldCaption(Field field);

/// The field whose name ("title" ... "weburl3") is the text, whatever its case.
std::optional<Field> fieldNamed(QStringView name);

/// The field at a zero-based position of the field order.
constexpr Field fieldAt(int index)
{
    return static_cast<Field>(index);
}

/// Free text in every field, the empty text included; nothing is validated or trimmed.
struct FilmRecord
{
    std::array<QString, FieldCount> fields;
    /// The film's values of the list's extra fields, in the order of the list's ExtraFields, each
    /// its kind's canonical text, the empty text for none. Values missing at the end are empty, so
    /// a film holds no more of them than it needs.
    QList<QString> extra;

    QString& operator[](Field field) { return fields[static_cast<size_t>(field)]; }
    const QString& operator[](Field field) const { return fields[static_cast<size_t>(field)]; }
    const QString& title() const { return (*this)[Field::Title]; }

    /// The value of the extra field at a position, the empty text when the film holds none.
    const QString& extraValue(qsizetype field) const;
    /// Sets the value of the extra field at a position, the values before it kept or made empty.
    void setExtraValue(qsizetype field, const QString& value);

    /// The fields and the extra values are equal, an empty value counting as a missing one.
    bool operator==(const FilmRecord& other) const;
};

/// "1 film", "21 films", the number written as the locale writes it: the C locale groups no
/// digits ("1234 films"), English groups them ("1,234 films").
inline QString filmCountText(qsizetype films, const QLocale& locale = QLocale::c())
{
    return (films == 1 ? QStringLiteral("%1 film") : QStringLiteral("%1 films")).arg(locale.toString(films));
}

} // namespace reelkeep
