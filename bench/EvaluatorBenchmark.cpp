// Evaluations per second of template-like expressions with a small page-like host.
#include "evaluator/Equation_Evaluater.h"
#include "evaluator/EvaluatorHost.h"
#include "functions/Defalt_Functions.h"
#include "pagegen/PreparedTemplate.h"
#include "value/Coercion.h"
#include "value/TextForm.h"

#include <QHash>

#include <benchmark/benchmark.h>
#include <malloc.h>

using namespace reelkeep;

namespace {

// Answers list.title and list.index, and keeps getvar/setvar variables, as the page's host does.
class PageLikeHost : public EvaluatorHost
{
public:
    void uGetVarable(const QString& Variable_Name, Value& ReturnValue) override
    {
        const QString name = Variable_Name.toLower();
        if (name == QLatin1String("list.title"))
            ReturnValue = m_title;
        else if (name == QLatin1String("list.index"))
            ReturnValue = Value::makeInteger(4);
    }

    void uSolveFunctions(const QString& Function_Name, ArgumentList& Parmeters, Value& ReturnValue) override
    {
        const QString name = Function_Name.toLower();
        if (name == QLatin1String("getvar"))
            ReturnValue = m_variables.value(toStringLet(Parmeters.item(1)));
        else if (name == QLatin1String("setvar"))
            m_variables.insert(toStringLet(Parmeters.item(1)), Parmeters.item(2));
    }

    Value m_title = Value::makeString(QStringLiteral("Lawrence of Arabia"));
    QHash<QString, Value> m_variables{{QStringLiteral("i"), Value::makeDouble(41)}};
};

void evaluate(benchmark::State& state, const char* expression)
{
    PageLikeHost host;
    Defalt_Functions functions;
    Equation_Evaluater evaluator(&functions, &host);
    const QString text = QString::fromUtf8(expression);
    for (auto _ : state)
        benchmark::DoNotOptimize(evaluator.Evaluate_Equation(text));
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK_CAPTURE(evaluate, listTitle, " list.title");
BENCHMARK_CAPTURE(evaluate, getvarPlusOne, " getvar('i') + 1");
BENCHMARK_CAPTURE(evaluate, leftAndConcatenate, " left(list.title, 3) & '...'");
BENCHMARK_CAPTURE(evaluate, iifEvenOdd, " iif(list.index mod 2 = 0, 'even', 'odd')");
BENCHMARK_CAPTURE(evaluate, arithmetic, " 1 + 2 * 3 - 4 / 2");
BENCHMARK_CAPTURE(evaluate, comparisonAndLogic, " list.index mod 2 = 0 and list.title <> ''");

// The heap in use, small blocks and mapped ones.
static double heapBytes()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

// The memory a prepared template holds beside its bytes (which it shares with the file's), per
// byte of the template, once a run has evaluated every expression in it: "[]" a million times,
// or a million different short expressions.
static void prepareTemplate(benchmark::State& state, bool distinct)
{
    QByteArray bytes;
    for (int i = 0; i < 1000000; ++i)
        bytes +=
            distinct ? "[" + QByteArray::number(i % 1000) + "+" + QByteArray::number(i / 1000) + "]" : "[]";
    Defalt_Functions functions;
    Equation_Evaluater evaluator(&functions);
    double held = 0;
    for (auto _ : state) {
        // Counting the heap walks its free blocks, which takes longer than preparing.
        state.PauseTiming();
        const double before = heapBytes();
        state.ResumeTiming();
        PreparedTemplate prepared(bytes, false);
        TemplatePrograms programs(prepared, false);
        for (const TemplatePiece& piece : prepared.pieces())
            if (piece.expression != TemplatePiece::NoExpression)
                benchmark::DoNotOptimize(programs.expression(piece, evaluator));
        state.PauseTiming();
        held = heapBytes() - before;
        state.ResumeTiming();
        benchmark::DoNotOptimize(prepared.pieces().data());
    }
    state.counters["heldBytesPerTemplateByte"] = held / double(bytes.size());
}
BENCHMARK_CAPTURE(prepareTemplate, emptyExpressions, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(prepareTemplate, distinctExpressions, true)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
