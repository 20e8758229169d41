// Handing 10,000 harvest entries to the download list: the hand-over alone,
// and a whole "分析全部" pass, which gives the event loop a turn after each entry.
#include "engine/DownloadList.h"
#include "harvester/AnalysisPass.h"
#include "harvester/Handover.h"
#include "harvester/HarvestList.h"
#include "harvester/SaveFolderAsker.h"
#include "common/SessionSettings.h"

#include <QCoreApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kEntries = 10000;

class BenchTarget final : public HandoverTarget
{
public:
    DownloadList &downloadList() override { return list; }
    void showDownloadWindow() override {}
    DownloadList list;
};

class NoDialog final : public SaveFolderAsker
{
public:
    void askSaveFolder(QObject *context, std::function<void(bool)> answered) override
    {
        QTimer::singleShot(0, context, [answered = std::move(answered)] { answered(true); });
    }
};

HarvestEntry sampleEntry(int n)
{
    HarvestEntry entry;
    // Titles as read from the page, some broken over two lines by <br>.
    entry.Title = (n % 3 == 0)
                      ? QStringLiteral("Numerical Study of a Supersonic Inlet\nat High Angle of Attack, Part %1").arg(n)
                      : QStringLiteral("Boundary Layer Transition in Hypersonic Flow: Case %1").arg(n);
    entry.Link = QStringLiteral("https://arc.example.org/doi/pdf/10.2514/6.2016-%1").arg(n);
    entry.FileType = QStringLiteral("pdf");
    entry.LinkKind = QStringLiteral("JS");
    entry.PageUrl = QStringLiteral("https://arc.example.org/action/doSearch?AllField=inlet&startPage=%1").arg(n / 20);
    return entry;
}

const std::vector<HarvestEntry> &entries()
{
    static const std::vector<HarvestEntry> all = [] {
        std::vector<HarvestEntry> made;
        made.reserve(kEntries);
        for (int n = 0; n < kEntries; ++n)
            made.push_back(sampleEntry(n));
        return made;
    }();
    return all;
}

void handOverAll(benchmark::State &state, bool keepOriginalFileName)
{
    SessionSettings settings;
    settings.SaveFolder = QStringLiteral("/home/user/papers/aiaa/");
    settings.KeepOriginalFileName = keepOriginalFileName;
    for (auto _ : state) {
        BenchTarget target;
        Handover handover(target, settings);
        for (const HarvestEntry &entry : entries())
            handover.addToDownloadList(entry.Link, entry.Title, entry.FileType, entry.SavePath, entry.PageUrl);
        benchmark::DoNotOptimize(target.list.count());
    }
    state.counters["entries"] = kEntries;
}

void BM_HandOver10000_TitleNames(benchmark::State &state)
{
    handOverAll(state, false);
}
BENCHMARK(BM_HandOver10000_TitleNames)->Unit(benchmark::kMillisecond);

void BM_HandOver10000_OriginalNames(benchmark::State &state)
{
    handOverAll(state, true);
}
BENCHMARK(BM_HandOver10000_OriginalNames)->Unit(benchmark::kMillisecond);

// The pass "分析全部" over 10,000 entries on the event loop, one entry a turn.
void BM_AnalyseAllPass10000(benchmark::State &state)
{
    SessionSettings settings;
    settings.AskSaveFolder = 1;
    settings.SaveFolder = QStringLiteral("/home/user/papers/aiaa/");
    NoDialog asker;
    for (auto _ : state) {
        state.PauseTiming();
        HarvestList list;
        for (const HarvestEntry &entry : entries())
            list.addEntry(entry.Title, entry.Link, entry.PageUrl, entry.FileType, entry.SavePath, entry.LinkKind);
        BenchTarget target;
        Handover handover(target, settings);
        AnalysisPass pass(list, settings, handover, asker);
        QObject::connect(&pass, &AnalysisPass::finished, QCoreApplication::instance(), &QCoreApplication::quit);
        state.ResumeTiming();

        pass.start(AnalysisPass::Kind::All);
        QCoreApplication::exec();
        benchmark::DoNotOptimize(target.list.count());
    }
    state.counters["entries"] = kEntries;
}
BENCHMARK(BM_AnalyseAllPass10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
