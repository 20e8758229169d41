// A saved result page of 2,000 entries (about 4 MB) read with the HTML
// parser and extracted into a harvest list, as paperdrift-cli extract and
// the saved-page tests do.
#include "GeneratedResultPage.h"

#include "harvester/HarvestList.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/PageExtraction.h"

#include <benchmark/benchmark.h>
#include <gumbo.h>

namespace {

constexpr int kEntries = 2000;
const QUrl kPageUrl(QStringLiteral("http://site.example/action/doSearch?AllField=wing&pageSize=2000"));

void BM_ReadAndExtract2000Entries(benchmark::State &state)
{
    static const QByteArray page = GeneratedResultPage(kEntries);
    int rows = 0;
    for (auto _ : state) {
        HarvestList list;
        rows = ExtractPageEntries(ReadHtmlPage(page, kPageUrl), QString(), false, false, list);
        benchmark::DoNotOptimize(rows);
    }
    if (rows != kEntries)
        state.SkipWithError("not every entry was extracted");
    state.counters["entries"] = rows;
    state.counters["MB"] = double(page.size()) / (1024 * 1024);
}
BENCHMARK(BM_ReadAndExtract2000Entries)->Unit(benchmark::kMillisecond);

// The parts: reading the page into the model, and extraction from it.
void BM_Read2000Entries(benchmark::State &state)
{
    static const QByteArray page = GeneratedResultPage(kEntries);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadHtmlPage(page, kPageUrl));
}
BENCHMARK(BM_Read2000Entries)->Unit(benchmark::kMillisecond);

// The HTML parser alone, with its own memory handling: the floor under the
// reading of a saved page.
void BM_ParserAlone2000Entries(benchmark::State &state)
{
    static const QByteArray page = GeneratedResultPage(kEntries);
    for (auto _ : state) {
        GumboOutput *output = gumbo_parse_with_options(&kGumboDefaultOptions, page.constData(), size_t(page.size()));
        benchmark::DoNotOptimize(output);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
}
BENCHMARK(BM_ParserAlone2000Entries)->Unit(benchmark::kMillisecond);

void BM_Extract2000EntriesFromModel(benchmark::State &state)
{
    static const PageModel model = ReadHtmlPage(GeneratedResultPage(kEntries), kPageUrl);
    for (auto _ : state) {
        HarvestList list;
        benchmark::DoNotOptimize(ExtractPageEntries(model, QString(), false, false, list));
    }
}
BENCHMARK(BM_Extract2000EntriesFromModel)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
