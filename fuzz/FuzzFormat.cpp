// Format on arbitrary values, formats and week arguments: only standard run-time errors are
// raised, and the result is a text (or Null for Null).
#include "FuzzProperties.h"
#include "functions/Format.h"
#include "value/RuntimeError.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace reelkeep;

namespace {

// The value to format, chosen by the first byte from the bytes that follow it.
Value valueFrom(std::uint8_t kind, QByteArrayView bytes)
{
    double number = 0;
    std::memcpy(&number, bytes.data(), std::min<std::size_t>(sizeof number, std::size_t(bytes.size())));
    switch (kind % 8) {
    case 0:
        return Value::makeString(QString::fromUtf8(bytes));
    case 1:
        return Value::makeDouble(number);
    case 2:
        return Value::makeDate(std::isfinite(number) ? std::fmod(number, 3000000.0) : 0.0);
    case 3:
        return Value::makeLong(
            static_cast<std::int32_t>(bytes.isEmpty() ? 0u : std::uint8_t(bytes[0]) * 16777619u));
    case 4:
        return Value::makeBoolean(!bytes.isEmpty() && bytes[0] % 2);
    case 5:
        return Value::makeNull();
    case 6:
        return Value::makeSingle(static_cast<float>(number));
    default:
        return Value();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Byte 0: the value's kind; byte 1: first day of week and first week of year; then the
    // value's bytes, a zero byte, and the format.
    if (size < 2)
        return 0;
    const QByteArrayView rest(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    const qsizetype zero = rest.indexOf('\0');
    const QByteArrayView valueBytes = zero < 0 ? rest : rest.first(zero);
    const std::optional<Value> format =
        zero < 0 ? std::nullopt : std::optional(Value::makeString(QString::fromUtf8(rest.sliced(zero + 1))));
    const Value value = valueFrom(data[0], valueBytes);
    try {
        const Value text = Format(value, format, data[1] % 9, (data[1] / 9) % 5);
        FUZZ_REQUIRE(text.kind() == Kind::String || (text.isNull() && value.isNull()),
                     QString::number(int(text.kind())));
    } catch (const RuntimeError& error) {
        fuzz::requireStandardError(error.number());
    }
    return 0;
}
