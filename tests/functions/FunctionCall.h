// Test notation for calls of the built-in library: a function name and argument Values written
// as "Double 5", "String abc", "Null", against the CLI line of the result or "raised N".
#pragma once

#include "functions/Defalt_Functions.h"

#include <QDateTime>
#include <QStringList>

namespace reelkeep::test {

/// The clock every test library reads: 2 January 2020, 1:45:30.600 PM.
QDateTime fixedNow();

/// The outcome of one call on `library`: the CLI line of the result or "raised N".
/// `found` receives the library's found flag when given.
QString callOutcome(Defalt_Functions& library,
                    const QString& name,
                    const QStringList& arguments,
                    bool* found = nullptr);

/// The columns "name", "arguments", "expected" of a call table.
void addCallColumns();
/// One row of a call table, named after its rule.
void addCall(const char* rule, const char* name, const QStringList& arguments, const char* expected);
/// Runs the current row of a call table on a fresh library with the fixed clock.
void checkCall();
/// The row maker of a table of calls of one function: (rule, arguments, expected).
inline auto callsOf(const char* name)
{
    return [name](const char* rule, const QStringList& arguments, const char* expected) {
        addCall(rule, name, arguments, expected);
    };
}

} // namespace reelkeep::test
