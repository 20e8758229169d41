// The supervisor tick's list walks over a large download list, adding rows,
// and the memory a row costs.
#include "engine/DownloadList.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

constexpr int kRows = 100000;

DownloadItem sampleItem(int n)
{
    DownloadItem item;
    item.Url = QStringLiteral("https://arc.example.org/doi/pdf/10.2514/6.2016-%1").arg(n);
    item.Name = QStringLiteral("Numerical study of a supersonic inlet at high angle of attack %1").arg(n);
    item.Type = (n % 50 == 0) ? QStringLiteral("htm") : QStringLiteral("pdf");
    item.Folder = QStringLiteral("/home/user/papers/aiaa/2016/");
    item.Referer = QStringLiteral("https://arc.example.org/action/doSearch?AllField=inlet&startPage=%1").arg(n / 20);
    item.State = ItemState(1 + n % 4);
    if (item.State != Waiting) {
        item.Size = ItemSize::ofBytes(1000000 + n);
        item.Downloaded = item.Size.bytes;
        item.Progress = ItemProgress::ofPercent(100);
    }
    return item;
}

void fill(DownloadList &list, int rows)
{
    for (int n = 0; n < rows; ++n)
        list.addItem(sampleItem(n));
}

// One supervisor tick: the summary text, the finished test and the error count.
void BM_SupervisorTickCounts(benchmark::State &state)
{
    DownloadList list;
    fill(list, kRows);
    for (auto _ : state) {
        QString summary = list.statusSummaryText();
        bool finished = list.isListFinished();
        int errors = list.CountErrorsAndPages();
        int notStarted = list.countNotDownloaded();
        benchmark::DoNotOptimize(summary);
        benchmark::DoNotOptimize(finished);
        benchmark::DoNotOptimize(errors);
        benchmark::DoNotOptimize(notStarted);
    }
}
BENCHMARK(BM_SupervisorTickCounts)->Unit(benchmark::kMillisecond);

void BM_Add100000Rows(benchmark::State &state)
{
    std::vector<DownloadItem> items;
    items.reserve(kRows);
    for (int n = 0; n < kRows; ++n)
        items.push_back(sampleItem(n));
    for (auto _ : state) {
        DownloadList list;
        for (const DownloadItem &item : items)
            list.addItem(item);
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_Add100000Rows)->Unit(benchmark::kMillisecond);

// Heap bytes in use: freed memory that the allocator keeps is not counted,
// unlike the resident set size.
size_t heapInUse()
{
    return mallinfo2().uordblks;
}

// Heap memory a row costs (texts, row record, both indexes), as a counter.
void BM_MemoryPerRow(benchmark::State &state)
{
    for (auto _ : state) {
        const size_t before = heapInUse();
        auto *list = new DownloadList;
        fill(*list, kRows);
        const size_t after = heapInUse();
        state.counters["bytes_per_row"] = double(after - before) / kRows;
        delete list;
    }
}
BENCHMARK(BM_MemoryPerRow)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
