// Test notation for Values and outcomes: "Integer 5", "String abc", "Null" build Values; an
// outcome is the CLI line of the result ("Long: 32768") or "raised N".
#pragma once

#include "value/Value.h"

#include <QString>

#include <functional>

namespace reelkeep::test {

/// A Value from "<Kind> <payload>": "Empty", "Null", "Integer 5", "Long -1", "Single 1.5",
/// "Double 2.5", "Currency 1.5", "Date 36526.5", "String abc" (the rest of the text, spaces
/// included), "Error 13", "Boolean True", "Decimal 0.1", "Byte 200", "Object 5" (an object whose
/// default value is the Double 5), "Nothing".
Value valueOf(const QString& notation);

/// The CLI line of the Value `compute` returns, or "raised N" when it raises error N.
QString outcome(const std::function<Value()>& compute);

/// Runs `body` with German number and date conventions set as the process defaults
/// (QLocale::setDefault and std::setlocale), restoring the previous ones afterwards. Without a
/// German locale in the C library only the QLocale part applies, and a note says so once.
void underGermanLocale(const std::function<void()>& body);

} // namespace reelkeep::test
