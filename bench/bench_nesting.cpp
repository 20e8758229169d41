// The saved-page reader on pages of growing nesting depth. Time per byte
// and the model's memory stay flat as the depth grows tenfold.
#include "HostilePages.h"

#include "harvester/HarvestList.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/PageExtraction.h"

#include <benchmark/benchmark.h>

namespace {

const QUrl kPageUrl(QStringLiteral("http://site.example/action/doSearch"));

void readPage(benchmark::State &state, const QByteArray &page)
{
    for (auto _ : state) {
        HarvestList list;
        benchmark::DoNotOptimize(ExtractPageEntries(ReadHtmlPage(page, kPageUrl), QString(), false, false, list));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * page.size());
    state.counters["KB"] = double(page.size()) / 1024;
}

// Depth d: d nested tables and 10/3 links a level, as the fuzzer's page.
void BM_NestedTables(benchmark::State &state)
{
    const int depth = int(state.range(0));
    readPage(state, NestedTablesPage(depth, depth * 10 / 3));
}
BENCHMARK(BM_NestedTables)->RangeMultiplier(2)->Range(375, 48000)->Unit(benchmark::kMillisecond);

// Depth d: d nested title blocks around a row of 10/3 d cells.
void BM_NestedDivs(benchmark::State &state)
{
    const int depth = int(state.range(0));
    readPage(state, NestedDivsPage(depth, depth * 10 / 3));
}
BENCHMARK(BM_NestedDivs)->RangeMultiplier(2)->Range(375, 48000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
