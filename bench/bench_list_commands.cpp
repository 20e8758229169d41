// The download list's commands over 100,000 rows with a tree view showing
// the list (offscreen), so that the view's work on each change is counted:
// each command's time, and the memory a row costs with the view attached.
#include "common/SessionSettings.h"
#include "download_window/ListCommands.h"
#include "engine/DownloadEngine.h"
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/SoundPlayer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <memory>

namespace {

constexpr int kRows = 100000;

// Answers every question with yes and the size prompt with a number.
class AnsweringPrompts final : public Prompts
{
public:
    PromptAnswer message(const QString &, const QString &, PromptIcon, PromptButtons buttons) override
    {
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    void notify(const QString &, const QString &, PromptIcon) override {}
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return QStringLiteral("1000500");
    }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString browseForFolder(const QString &, const QString &) override { return {}; }
};

class SilentSounds final : public SoundPlayer
{
public:
    void playFile(const QString &) override {}
};

// Rows as a long search gives them: a quarter in each state, one in fifty
// a web page; finished and failed rows have their sizes.
DownloadItem sampleItem(int n, const QString &folder)
{
    DownloadItem item;
    item.Url = QStringLiteral("https://arc.example.org/doi/pdf/10.2514/6.2016-%1").arg(n);
    item.Name = QStringLiteral("Numerical study of a supersonic inlet at high angle of attack %1").arg(n);
    item.Type = (n % 50 == 0) ? QStringLiteral("htm") : QStringLiteral("pdf");
    item.Folder = folder;
    item.Referer = QStringLiteral("https://arc.example.org/action/doSearch?AllField=inlet&startPage=%1").arg(n / 20);
    item.State = ItemState(1 + n % 4);
    if (item.State == Finished || item.State == Failed) {
        item.Size = ItemSize::ofBytes(1000000 + (n * 7919) % 1000);
        item.Downloaded = item.State == Finished ? item.Size.bytes : 1000;
        item.Progress = ItemProgress::ofPercent(item.State == Finished ? 100 : 0);
    }
    return item;
}

// The engine of one window, its list shown in a tree view. Files exist for
// the web-page rows and for every tenth finished row.
struct Window
{
    Window()
    {
        engine.setTimersRunning(false);
        view.setModel(&engine.list());
        view.setUniformRowHeights(true);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.resize(1000, 700);
        view.show();
    }

    void fill()
    {
        DownloadList &list = engine.list();
        list.clear();
        for (int n = 0; n < kRows; ++n) {
            DownloadItem item = sampleItem(n, folder.path());
            const bool withFile = item.Type == QLatin1String("htm") || (item.State == Finished && n % 10 == 3);
            if (withFile) {
                QFile file(ItemFilePath(item));
                if (file.open(QIODevice::WriteOnly))
                    file.write("%PDF-1.4\n");
            }
            list.addItem(std::move(item));
        }
        settle();
    }

    // Lets the view lay out and paint what the commands changed.
    void settle()
    {
        QApplication::processEvents();
        view.viewport()->repaint();
    }

    QNetworkAccessManager network;
    SessionSettings settings;
    ManualClock clock;
    AnsweringPrompts prompts;
    SilentSounds sounds;
    QTemporaryDir folder;
    DownloadEngine engine{settings, clock, prompts, sounds, network};
    ListCommands commands{engine, prompts};
    QTreeView view;
};

// Made after the application object and deleted before it.
std::unique_ptr<Window> g_window;

Window &window()
{
    if (!g_window)
        g_window = std::make_unique<Window>();
    return *g_window;
}

QList<int> everyOtherRow()
{
    QList<int> rows;
    rows.reserve(kRows / 2);
    for (int row = 0; row < kRows; row += 2)
        rows.append(row);
    return rows;
}

// Runs one command on a fresh full list per iteration; the timing holds the
// command and the view's response to it.
template <typename Command>
void runCommand(benchmark::State &state, Command command)
{
    Window &w = window();
    for (auto _ : state) {
        state.PauseTiming();
        w.fill();
        state.ResumeTiming();
        command(w);
        w.settle();
    }
}

void BM_RandomOrder(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.ShuffleList(false); });
}
void BM_SortByName(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.sortByColumn(DownloadList::NameColumn); });
}
void BM_SortBySize(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.sortByColumn(DownloadList::SizeColumn); });
}
void BM_ResetSelected(benchmark::State &state)
{
    const QList<int> rows = everyOtherRow();
    runCommand(state, [&rows](Window &w) { w.commands.resetSelected(rows); });
}
void BM_ResetFailed(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.resetFailed(); });
}
void BM_ResetWebPages(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.resetWebPages(); });
}
void BM_ResetFailedAndWebPages(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.resetFailedAndWebPages(); });
}
void BM_ResetSmallerThan(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.resetSmallerThan(); });
}
void BM_RemoveSelected(benchmark::State &state)
{
    const QList<int> rows = everyOtherRow();
    runCommand(state, [&rows](Window &w) { w.commands.removeSelected(rows); });
}
void BM_RemoveFailed(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.removeFailed(); });
}
void BM_RemoveFinished(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.removeFinished(); });
}
void BM_DeleteWebPageFiles(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.deleteWebPageFiles(); });
}
void BM_DeleteFailedFiles(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.deleteFailedFiles(); });
}
void BM_CheckFiles(benchmark::State &state)
{
    runCommand(state, [](Window &w) { w.commands.checkFiles(); });
}

BENCHMARK(BM_RandomOrder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortByName)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortBySize)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ResetSelected)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ResetFailed)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ResetWebPages)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ResetFailedAndWebPages)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ResetSmallerThan)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RemoveSelected)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RemoveFailed)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RemoveFinished)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteWebPageFiles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteFailedFiles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CheckFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

long residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * sysconf(_SC_PAGESIZE) : 0;
}

// Memory of the list with the view attached: heap in use and resident set
// growth while a fresh window fills to 100,000 rows, per row.
void BM_MemoryPerRow(benchmark::State &state)
{
    for (auto _ : state) {
        malloc_trim(0);
        const size_t heapBefore = mallinfo2().uordblks;
        const long rssBefore = residentBytes();
        auto w = std::make_unique<Window>();
        for (int n = 0; n < kRows; ++n)
            w->engine.list().addItem(sampleItem(n, w->folder.path()));
        w->settle();
        state.counters["heap_bytes_per_row"] = double(mallinfo2().uordblks - heapBefore) / kRows;
        state.counters["rss_bytes_per_row"] = double(residentBytes() - rssBefore) / kRows;
    }
}
BENCHMARK(BM_MemoryPerRow)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_window.reset();
    return 0;
}
