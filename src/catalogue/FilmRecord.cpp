// Names of the film record's fields.
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

} // namespace reelkeep
