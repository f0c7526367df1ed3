// Names of the film record's fields, and its extra values.
#include "catalogue/FilmRecord.h"

namespace reelkeep {

namespace {

struct FieldWords
{
    /// As templates and the JSON dump spell the field.
    QStringView name;
    /// As the window names it to people.
    QStringView caption;
};

// ORDER Field
constexpr std::array<FieldWords, FieldCount> Fields = {{
    {u"title", u"Title"},
    {u"release", u"Release"},
    {u"type", u"Type"},
    {u"time", u"Time"},
    {u"genre", u"Genre"},
    {u"date", u"Date"},
    {u"plot", u"Plot"},
    {u"comment", u"Comment"},
    {u"cast", u"Cast"},
    {u"imgsrc", u"Image source"},
    {u"imglink", u"Image link"},
    {u"webtext1", u"Web site 1 text"},
    {u"weburl1", u"Web site 1 URL"},
    {u"webtext2", u"Web site 2 text"},
    {u"weburl2", u"Web site 2 URL"},
    {u"webtext3", u"Web site 3 text"},
    {u"weburl3", u"Web site 3 URL"},
}};

} // namespace

QStringView fieldName(Field field)
{
    return Fields[static_cast<size_t>(field)].name;
}

QStringView fieldCaption(Field field)
{
    return Fields[static_cast<size_t>(field)].caption;
}

std::optional<Field> fieldNamed(QStringView name)
{
    for (int i = 0; i < FieldCount; ++i) {
        if (fieldName(fieldAt(i)).compare(name, Qt::CaseInsensitive) == 0)
            return fieldAt(i);
    }
    return std::nullopt;
}

const QString& FilmRecord::extraValue(qsizetype field) const
{
    static const QString None;
    return field < extra.size() ? extra[field] : None;
}

void FilmRecord::setExtraValue(qsizetype field, const QString& value)
{
    if (field >= extra.size()) {
        if (value.isEmpty())
            return;
        extra.resize(field + 1);
    }
    extra[field] = value;
}

bool FilmRecord::operator==(const FilmRecord& other) const
{
    if (fields != other.fields)
        return false;
    const qsizetype count = qMax(extra.size(), other.extra.size());
    for (qsizetype field = 0; field < count; ++field) {
        if (extraValue(field) != other.extraValue(field))
            return false;
    }
    return true;
}

} // namespace reelkeep
