// Date texts and CDate on arbitrary arguments: a text either is a date inside 1 Jan 100 ...
// 31 Dec 9999 or is not one, CDate agrees with the parser, and a date's own text reads back as the
// same date to the second.
#include "FuzzProperties.h"
#include "value/Coercion.h"
#include "value/DateSerial.h"
#include "value/DateText.h"
#include "value/RuntimeError.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
using namespace reelkeep;

static constexpr double OneSecond = 1.0 / 86400.0;

// The text of a date serial reads back as the same date and time, rounded to the second.
static void requireTextReadsBack(double serial, int year)
{
    const QString text = dateText(serial);
    const std::optional<double> back = parseDateText(text, year);
    FUZZ_REQUIRE(back.has_value(), text);
    FUZZ_REQUIRE(std::fabs(*back - serial) <= OneSecond,
                 text + QStringLiteral(" reads as ") + QString::number(*back, 'g', 17));
}

static void checkText(const QString& text, int year)
{
    const std::optional<double> serial = parseDateText(text, year);
    if (serial) {
        FUZZ_REQUIRE(isValidDateSerial(*serial), QString::number(*serial, 'g', 17));
        requireTextReadsBack(*serial, year);
    }
    setCurrentYearSource([year] { return year; });
    try {
        const Value date = cdate(Value::makeString(text));
        FUZZ_REQUIRE(serial.has_value(), QStringLiteral("CDate accepts only what the parser reads"));
        FUZZ_REQUIRE(date.kind() == Kind::Date && date.asDate() == *serial);
    } catch (const RuntimeError& error) {
        FUZZ_REQUIRE(!serial.has_value(), QStringLiteral("CDate refuses what the parser reads"));
        FUZZ_REQUIRE(error.errorNumber() == ErrorNumber::TypeMismatch, QString::number(error.number()));
    }
}

static void checkNumber(double number)
{
    try {
        const Value date = cdate(Value::makeDouble(number));
        FUZZ_REQUIRE(isValidDateSerial(date.asDate()), QString::number(number, 'g', 17));
        (void)dateText(date.asDate());
    } catch (const RuntimeError& error) {
        FUZZ_REQUIRE(error.errorNumber() == ErrorNumber::Overflow, QString::number(error.number()));
        FUZZ_REQUIRE(!isValidDateSerial(number), QString::number(number, 'g', 17));
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Two bytes of the current year, eight of a Double, and the text.
    if (size < 10)
        return 0;
    std::uint16_t yearBits = 0;
    double number = 0;
    std::memcpy(&yearBits, data, sizeof yearBits);
    std::memcpy(&number, data + 2, sizeof number);
    const int year = 100 + yearBits % 9900;
    checkText(QString::fromUtf8(reinterpret_cast<const char*>(data + 10), static_cast<qsizetype>(size - 10)),
              year);
    checkNumber(number);
    return 0;
}
