// TypeName texts of the kinds.
#include "value/Kind.h"

namespace reelkeep {

QStringView typeName(Kind kind)
{
    // ORDER Kind
    switch (kind) {
    case Kind::Empty:
        return u"Empty";
    case Kind::Null:
        return u"Null";
    case Kind::Integer:
        return u"Integer";
    case Kind::Long:
        return u"Long";
    case Kind::Single:
        return u"Single";
    case Kind::Double:
        return u"Double";
    case Kind::Currency:
        return u"Currency";
    case Kind::Date:
        return u"Date";
    case Kind::String:
        return u"String";
    case Kind::Object:
        return u"Object";
    case Kind::Error:
        return u"Error";
    case Kind::Boolean:
        return u"Boolean";
    case Kind::Decimal:
        return u"Decimal";
    case Kind::Byte:
        return u"Byte";
    }
    return u"Empty";
}

} // namespace reelkeep
