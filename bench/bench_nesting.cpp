// The saved-page reader on pages of growing nesting depth. Time per byte
// and memory per byte stay flat as the depth grows a hundredfold: the
// reader's cost is linear in the page's size, whatever its nesting.
#include "HostilePages.h"

#include "harvester/HarvestList.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/PageExtraction.h"

#include <benchmark/benchmark.h>

#include <QFile>

#include <malloc.h>

namespace {

const QUrl kPageUrl(QStringLiteral("http://site.example/action/doSearch"));

int extract(const QByteArray &page)
{
    HarvestList list;
    return ExtractPageEntries(ReadHtmlPage(page, kPageUrl), QString(), false, false, list);
}

// A line "NAME: VALUE kB" of /proc/self/status, in bytes; -1 when missing.
double statusBytes(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').value(0).toDouble() * 1024;
    }
    return -1;
}

// How far one read raises the peak resident memory, in bytes: the heap's
// free pages are given back and the peak is reset to what is resident, so
// that what earlier reads left behind neither hides nor inflates it. -1
// when the system cannot reset the peak.
double peakGrowthOfOneRead(const QByteArray &page)
{
    malloc_trim(0);
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        return -1;
    clearRefs.close();
    const double before = statusBytes("VmRSS:");
    benchmark::DoNotOptimize(extract(page));
    const double peak = statusBytes("VmHWM:");
    return before < 0 || peak < 0 ? -1 : peak - before;
}

void readPage(benchmark::State &state, const QByteArray &page)
{
    const double growth = peakGrowthOfOneRead(page);
    for (auto _ : state)
        benchmark::DoNotOptimize(extract(page));
    state.SetBytesProcessed(int64_t(state.iterations()) * page.size());
    state.counters["KB"] = double(page.size()) / 1024;
    state.counters["peakMB"] = growth / (1024 * 1024);
    state.counters["peak/byte"] = growth / double(page.size());
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
