// Names of the film record's fields, and its extra values.
#include "catalogue/FilmRecord.h"

namespace reelkeep {

QStringView fieldName(Field field)
{
    // ORDER Field
    static constexpr std::array<QStringView, FieldCount> Names = {
        u"title",
        u"release",
        u"type",
        u"time",
        u"genre",
        u"date",
        u"plot",
        u"comment",
        u"cast",
        u"imgsrc",
        u"imglink",
        u"webtext1",
        u"weburl1",
        u"webtext2",
        u"weburl2",
        u"webtext3",
        u"weburl3",
    };
    return Names[static_cast<size_t>(field)];
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
