// Calls per second of Solve_Function for a few functions that templates use on every film.
#include "functions/Defalt_Functions.h"

#include <benchmark/benchmark.h>

using namespace reelkeep;

namespace {

// Calls one function with fixed arguments and reports the calls per second.
void callRepeatedly(benchmark::State& state, const QString& name, const ArgumentList& arguments)
{
    Defalt_Functions library;
    bool found = false;
    for (auto _ : state) {
        Value result = library.Solve_Function(name, arguments, found);
        benchmark::DoNotOptimize(result);
    }
    state.counters["calls/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void leftOfTitle(benchmark::State& state)
{
    callRepeatedly(state,
                   QStringLiteral("left"),
                   {Value::makeString(QStringLiteral("The Grand Budapest Hotel")), Value::makeDouble(9)});
}

void formatDate(benchmark::State& state)
{
    callRepeatedly(
        state,
        QStringLiteral("format"),
        {Value::makeDate(43832.5729), Value::makeString(QStringLiteral("dddd, mmmm d, yyyy hh:nn"))});
}

void dateDiffInDays(benchmark::State& state)
{
    callRepeatedly(state,
                   QStringLiteral("datediff"),
                   {Value::makeString(QStringLiteral("d")),
                    Value::makeString(QStringLiteral("3/14/1994")),
                    Value::makeDate(43832.5)});
}

void replaceInPlot(benchmark::State& state)
{
    callRepeatedly(
        state,
        QStringLiteral("replace"),
        {Value::makeString(QStringLiteral("A concierge & his lobby boy & a painting & a fortune.")),
         Value::makeString(QStringLiteral("&")),
         Value::makeString(QStringLiteral("&amp;"))});
}

} // namespace

BENCHMARK(leftOfTitle);
BENCHMARK(formatDate);
BENCHMARK(dateDiffInDays);
BENCHMARK(replaceInPlot);

BENCHMARK_MAIN();
