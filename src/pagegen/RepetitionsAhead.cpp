// Rendering an include's repetitions on threads of their own, and handing them to the run in
// order.
#include "pagegen/RepetitionsAhead.h"

#include "evaluator/Equation_Evaluater.h"
#include "pagegen/PageEncoding.h"
#include "pagegen/PreparedTemplate.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <system_error>

namespace reelkeep {

namespace {

// The piece's literal bytes, then the text of its value, in room for the most the text may take.
void appendPiece(PageBytes& page, QByteArrayView literal, QStringView text, bool utf8Page)
{
    char* const start = page.room(literal.size() + text.size() * MaxPageBytesPerUnit);
    if (!literal.isEmpty())
        std::memcpy(start, literal.data(), size_t(literal.size()));
    page.grow(writePageText(start + literal.size(), text, utf8Page));
}

} // namespace

void PageBytes::reallocate(qsizetype capacity)
{
    auto bytes = std::make_unique_for_overwrite<char[]>(size_t(capacity));
    if (m_size > 0)
        std::memcpy(bytes.get(), m_bytes.get(), size_t(m_size));
    m_bytes = std::move(bytes);
    m_capacity = capacity;
}

std::optional<std::pair<RuntimeError, int>>
renderRepetition(const PreparedTemplate& input, Equation_Evaluater& evaluator, PageBytes& page)
{
    const bool utf8Page = input.isUtf8();
    for (const TemplatePiece& piece : input.pieces()) {
        if (!piece.hasExpression) {
            appendPiece(page, piece.literal, {}, utf8Page);
            break;
        }
        QString text;
        try {
            text = pageTextOf(evaluator.Evaluate_Prepared(piece.expression));
        } catch (const RuntimeError& error) {
            appendPiece(page, piece.literal, {}, utf8Page);
            return std::pair(error, piece.line);
        }
        appendPiece(page, piece.literal, text, utf8Page);
    }
    return std::nullopt;
}

RepetitionsAhead::RepetitionsAhead(std::vector<std::unique_ptr<RepetitionRenderer>> renderers,
                                   std::shared_ptr<const PreparedTemplate> input,
                                   int first,
                                   int last,
                                   int firstPlace,
                                   int placeStep)
    : m_input(std::move(input))
    , m_first(first)
    , m_last(last)
    , m_firstPlace(firstPlace)
    , m_placeStep(placeStep)
    , m_renderers(std::move(renderers))
    , m_rendered(size_t((last - first) / BatchSize + 1))
    , m_endBatch(int(m_rendered.size()))
{
    for (const std::unique_ptr<RepetitionRenderer>& renderer : m_renderers) {
        {
            const std::lock_guard lock(m_mutex);
            ++m_threadsRunning;
        }
        try {
            m_threads.emplace_back([this, &renderer] { renderBatches(*renderer); });
        } catch (const std::system_error&) {
            // Fewer threads, or none: then the run renders every repetition itself.
            const std::lock_guard lock(m_mutex);
            --m_threadsRunning;
            break;
        }
    }
}

RepetitionsAhead::~RepetitionsAhead()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

bool RepetitionsAhead::renders(int repetition) const
{
    return !m_threads.empty() && repetition >= m_first && repetition <= m_last;
}

std::optional<RenderedRepetition> RepetitionsAhead::take(int repetition)
{
    const auto holds = [repetition](const Batch& batch) {
        return repetition >= batch.first && repetition - batch.first < qsizetype(batch.repetitions.size());
    };
    if (!m_taking || !holds(*m_taking)) {
        const int number = (repetition - m_first) / BatchSize;
        std::unique_lock lock(m_mutex);
        if (m_taking)
            m_free.push_back(std::move(m_taking));
        m_takenBatch = number;
        m_changed.notify_all();
        m_changed.wait(lock, [&] {
            return m_rendered[size_t(number)] || number >= m_endBatch || m_threadsRunning == 0;
        });
        m_taking = std::move(m_rendered[size_t(number)]);
        if (!m_taking || !holds(*m_taking))
            return std::nullopt;
    }
    const size_t index = size_t(repetition - m_taking->first);
    const Batch::Repetition& taken = m_taking->repetitions[index];
    const qsizetype pageStart = index == 0 ? 0 : m_taking->repetitions[index - 1].pageEnd;
    const size_t progressStart = index == 0 ? 0 : m_taking->repetitions[index - 1].progressEnd;
    return RenderedRepetition{
        taken.startPlace,
        m_taking->page.view().sliced(pageStart, taken.pageEnd - pageStart),
        std::span<const float>(m_taking->progress).subspan(progressStart, taken.progressEnd - progressStart),
        &taken.end,
    };
}

std::optional<int> RepetitionsAhead::expectedPlace(int repetition) const
{
    const qint64 place = m_firstPlace + qint64(repetition - m_first) * m_placeStep;
    // The page order's places are Integers.
    if (place < std::numeric_limits<std::int16_t>::min() || place > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return int(place);
}

std::optional<int> RepetitionsAhead::claimBatch()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] {
        return m_stopping || m_nextBatch >= m_endBatch || m_nextBatch < m_takenBatch + MostBatchesAhead;
    });
    if (m_stopping || m_nextBatch >= m_endBatch)
        return std::nullopt;
    return m_nextBatch++;
}

bool RepetitionsAhead::renderBatch(RepetitionRenderer& renderer, Batch& batch, int first, int last) const
{
    batch.first = first;
    batch.page.clear();
    batch.progress.clear();
    batch.repetitions.clear();
    for (int repetition = first; repetition <= last; ++repetition) {
        const std::optional<int> place = expectedPlace(repetition);
        if (!place)
            return false;
        Batch::Repetition& rendered = batch.repetitions.emplace_back();
        rendered.startPlace = *place;
        rendered.end = renderer.render(*place, batch.page, batch.progress);
        rendered.pageEnd = batch.page.size();
        rendered.progressEnd = batch.progress.size();
        // The run ends at an error, unless it did not start where it was expected to.
        if (rendered.end.error)
            return false;
    }
    return true;
}

void RepetitionsAhead::renderBatches(RepetitionRenderer& renderer)
{
    while (const std::optional<int> number = claimBatch()) {
        std::unique_ptr<Batch> batch;
        bool goesOn = false;
        try {
            batch = freeBatch();
            const int first = m_first + *number * BatchSize;
            goesOn = renderBatch(renderer, *batch, first, std::min(first + BatchSize - 1, m_last));
        } catch (...) {
            // The run renders this batch and the ones after it itself.
            batch.reset();
        }
        {
            const std::lock_guard lock(m_mutex);
            // Nothing is rendered after a batch that ended early, nor from a batch that failed.
            if (!goesOn)
                m_endBatch = std::min(m_endBatch, batch ? *number + 1 : *number);
            m_rendered[size_t(*number)] = std::move(batch);
        }
        m_changed.notify_all();
    }
    {
        const std::lock_guard lock(m_mutex);
        --m_threadsRunning;
    }
    m_changed.notify_all();
}

std::unique_ptr<RepetitionsAhead::Batch> RepetitionsAhead::freeBatch()
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_free.empty()) {
            std::unique_ptr<Batch> batch = std::move(m_free.back());
            m_free.pop_back();
            return batch;
        }
    }
    return std::make_unique<Batch>();
}

} // namespace reelkeep
