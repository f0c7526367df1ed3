// Format on the page generator's common cases: a date pattern, a number pattern, a named format.
#include "functions/Format.h"
#include "value/Value.h"

#include <benchmark/benchmark.h>

using namespace reelkeep;

namespace {

// Thursday 2 January 2020, 1:45:07 PM.
constexpr double SampleSerial = 43832.573;

void formatDatePattern(benchmark::State& state)
{
    const Value date = Value::makeDate(SampleSerial);
    const std::optional<Value> format = Value::makeString(QStringLiteral("dddd, mmmm d, yyyy hh:nn AM/PM"));
    for (auto _ : state)
        benchmark::DoNotOptimize(Format(date, format, 1, 1));
}
BENCHMARK(formatDatePattern);

void formatShortDatePattern(benchmark::State& state)
{
    const Value date = Value::makeDate(SampleSerial);
    const std::optional<Value> format = Value::makeString(QStringLiteral("yyyy-mm-dd"));
    for (auto _ : state)
        benchmark::DoNotOptimize(Format(date, format, 1, 1));
}
BENCHMARK(formatShortDatePattern);

void formatNumberPattern(benchmark::State& state)
{
    const Value number = Value::makeDouble(1234567.891);
    const std::optional<Value> format = Value::makeString(QStringLiteral("#,##0.00;(#,##0.00)"));
    for (auto _ : state)
        benchmark::DoNotOptimize(Format(number, format, 1, 1));
}
BENCHMARK(formatNumberPattern);

void formatNamedCurrency(benchmark::State& state)
{
    const Value number = Value::makeDouble(1234.5);
    const std::optional<Value> format = Value::makeString(QStringLiteral("Currency"));
    for (auto _ : state)
        benchmark::DoNotOptimize(Format(number, format, 1, 1));
}
BENCHMARK(formatNamedCurrency);

} // namespace

BENCHMARK_MAIN();
