// One film entry: seventeen text fields in a fixed order shared by memory, list files and pages.
#pragma once

#include <QString>
#include <QStringView>

#include <array>

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

/// The field at a zero-based position of the field order.
constexpr Field fieldAt(int index)
{
    return static_cast<Field>(index);
}

/// Free text in every field, the empty text included; nothing is validated or trimmed.
struct FilmRecord
{
    std::array<QString, FieldCount> fields;

    QString& operator[](Field field) { return fields[static_cast<size_t>(field)]; }
    const QString& operator[](Field field) const { return fields[static_cast<size_t>(field)]; }
    const QString& title() const { return (*this)[Field::Title]; }

    bool operator==(const FilmRecord&) const = default;
};

} // namespace reelkeep
