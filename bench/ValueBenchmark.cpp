// Hot operations of the Value runtime, with the heap allocations per iteration counted.
#include "CountingAllocator.h"
#include "value/Coercion.h"
#include "value/Operators.h"
#include "value/Value.h"

#include <benchmark/benchmark.h>
#include <cstddef>

using namespace reelkeep;

namespace {

// Runs `body` for every iteration and reports the allocations it made per iteration.
template <typename Body> void measure(benchmark::State& state, Body body)
{
    const long before = allocationCount();
    for (auto _ : state)
        body();
    state.counters["allocs/iter"] =
        benchmark::Counter(double(allocationCount() - before) / double(state.iterations()));
}

void copyDouble(benchmark::State& state)
{
    const Value value = Value::makeDouble(2.5);
    measure(state, [&] {
        Value copy = value;
        benchmark::DoNotOptimize(copy);
    });
}
BENCHMARK(copyDouble);

void copyString(benchmark::State& state)
{
    const Value value = Value::makeString(QStringLiteral("The Third Man"));
    measure(state, [&] {
        Value copy = value;
        benchmark::DoNotOptimize(copy);
    });
}
BENCHMARK(copyString);

void addDoubles(benchmark::State& state)
{
    const Value left = Value::makeDouble(1.5);
    const Value right = Value::makeDouble(2.25);
    measure(state, [&] { benchmark::DoNotOptimize(add(left, right)); });
}
BENCHMARK(addDoubles);

void addIntegersWithPromotion(benchmark::State& state)
{
    const Value left = Value::makeInteger(32767);
    const Value right = Value::makeInteger(1);
    measure(state, [&] { benchmark::DoNotOptimize(add(left, right)); });
}
BENCHMARK(addIntegersWithPromotion);

void multiplyCurrency(benchmark::State& state)
{
    const Value left = Value::makeCurrency(Currency{15000});
    const Value right = Value::makeCurrency(Currency{22500});
    measure(state, [&] { benchmark::DoNotOptimize(multiply(left, right)); });
}
BENCHMARK(multiplyCurrency);

void compareDoubles(benchmark::State& state)
{
    const Value left = Value::makeDouble(1.5);
    const Value right = Value::makeDouble(2.25);
    measure(state, [&] { benchmark::DoNotOptimize(less(left, right)); });
}
BENCHMARK(compareDoubles);

void concatenateStrings(benchmark::State& state)
{
    const Value left = Value::makeString(QStringLiteral("The Third "));
    const Value right = Value::makeString(QStringLiteral("Man"));
    measure(state, [&] { benchmark::DoNotOptimize(concatenate(left, right)); });
}
BENCHMARK(concatenateStrings);

void compareStrings(benchmark::State& state)
{
    const Value left = Value::makeString(QStringLiteral("The Third Man"));
    const Value right = Value::makeString(QStringLiteral("The Thin Man"));
    measure(state, [&] { benchmark::DoNotOptimize(less(left, right)); });
}
BENCHMARK(compareStrings);

void letCoerceNumericText(benchmark::State& state)
{
    const Value text = Value::makeString(QStringLiteral("1234.5"));
    measure(state, [&] { benchmark::DoNotOptimize(toDouble(text)); });
}
BENCHMARK(letCoerceNumericText);

void addNumericTextToDouble(benchmark::State& state)
{
    const Value text = Value::makeString(QStringLiteral("1234.5"));
    const Value number = Value::makeDouble(1);
    measure(state, [&] { benchmark::DoNotOptimize(add(text, number)); });
}
BENCHMARK(addNumericTextToDouble);

} // namespace

BENCHMARK_MAIN();
