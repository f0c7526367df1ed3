// Run-time errors: the standard error numbers, their message texts, and the one way to raise them.
#pragma once

#include <QString>

#include <exception>
#include <utility>

namespace reelkeep {

/// The standard run-time error numbers that the runtime, the functions and the page generator raise.
enum class ErrorNumber : int
{
    None = 0,                   // no error; Error(0) is the empty text
    InvalidProcedureCall = 5,   // an argument outside what a function accepts
    Overflow = 6,               // a result or conversion beyond the target kind's range
    OutOfMemory = 7,            // a text or list that cannot be allocated
    SubscriptOutOfRange = 9,    // the reduction reads an operand that is not there
    DivisionByZero = 11,        // "/", "\" or "mod" by zero
    UserInterrupt = 18,         // the user stopped a page run
    TypeMismatch = 13,          // a text that is not a number or date, an Error Value where a value is needed
    OutOfStackSpace = 28,       // nesting too deep (includes within includes)
    BadFileNameOrNumber = 52,   // a file name the system rejects
    FileNotFound = 53,          // a file that must exist does not
    DiskFull = 61,              // the page could not be written out
    TooManyFiles = 67,          // no free file slot for an include
    PathFileAccessError = 75,   // a file that cannot be opened as asked
    ObjectVariableNotSet = 91,  // the default value of an object reference that is Nothing
    InvalidPatternString = 93,  // a "like" pattern with a reversed range or a missing "]"
    InvalidUseOfNull = 94,      // Null where a number, text or date is needed
    InvalidPropertyValue = 380, // a progress position outside 0 to 100
    ObjectRequired = 424,       // "is" with an operand that is not an object reference
    WrongArgumentCount = 450,   // a built-in function called with a count it does not accept
};

/// The standard message text of an error number; "" for 0 and
/// "Application-defined or object-defined error" for numbers with no text of their own.
QString errorMessage(int number);

/// A raised run-time error. Thrown only by raise(); caught by the operator reduction,
/// the window's commands and the command-line program.
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(ErrorNumber number, QString cause = QString())
        : m_number(number)
        , m_cause(std::move(cause))
    {}

    /// The standard error number, as Err.Number would give it.
    int number() const { return static_cast<int>(m_number); }
    ErrorNumber errorNumber() const { return m_number; }
    /// What the expression's author did to raise it, in words, where the raiser knows; else empty.
    const QString& cause() const { return m_cause; }
    const char* what() const noexcept override;

private:
    ErrorNumber m_number;
    QString m_cause;
};

/// Raises a run-time error; the only throw of the runtime.
[[noreturn]] void raise(ErrorNumber number);
/// Raises a run-time error with the cause in words (RuntimeError::cause).
[[noreturn]] void raise(ErrorNumber number, const QString& cause);

} // namespace reelkeep
