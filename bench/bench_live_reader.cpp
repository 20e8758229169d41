// The live reader on a result page of 2,000 entries (about 4 MB) shown in a
// real browser page: the time from the request to the model, over several
// reads, and whether the model gives the same harvest as the saved-page
// reader. Runs offscreen; as root the browser needs
// QTWEBENGINE_DISABLE_SANDBOX=1.
#include "GeneratedResultPage.h"

#include "harvester/HarvestList.h"
#include "harvester/HtmlPageReader.h"
#include "harvester/LivePageReader.h"
#include "harvester/PageExtraction.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QWebEnginePage>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kEntries = 2000;
constexpr int kReads = 7;

QStringList harvest(const PageModel &page)
{
    HarvestList list;
    ExtractPageEntries(page, QString(), false, false, list);
    QStringList rows;
    for (int row = 0; row < list.count(); ++row)
        rows << list.at(row).Title + QLatin1Char('\t') + list.at(row).Link;
    return rows;
}

class LiveReadRun : public QObject
{
public:
    LiveReadRun(QWebEnginePage &page, QStringList expected) : m_page(page), m_expected(std::move(expected)) {}

    void start()
    {
        m_clock.start();
        LivePageReader::read(&m_page, this, [this](const PageModel &model) { done(model); });
    }

private:
    void done(const PageModel &model)
    {
        m_times.append(m_clock.nsecsElapsed() / 1e6);
        m_matches = m_matches && harvest(model) == m_expected;
        m_tables = model.tables.size();
        if (m_times.size() < kReads) {
            start();
            return;
        }
        std::sort(m_times.begin(), m_times.end());
        std::printf("live reader, %d entries: median %.1f ms, fastest %.1f ms, slowest %.1f ms over %d reads\n",
                    kEntries, m_times[m_times.size() / 2], m_times.first(), m_times.last(), int(m_times.size()));
        std::printf("tables read: %lld; harvest equal to the saved-page reader's: %s\n",
                    static_cast<long long>(m_tables), m_matches ? "yes" : "NO");
        QCoreApplication::exit(m_matches ? 0 : 1);
    }

    QWebEnginePage &m_page;
    const QStringList m_expected;
    QElapsedTimer m_clock;
    QList<double> m_times;
    qsizetype m_tables = 0;
    bool m_matches = true;
};

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication application(argc, argv);

    const QByteArray html = GeneratedResultPage(kEntries);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("results.html"));
    QFile file(path);
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(html) != html.size()) {
        std::fprintf(stderr, "cannot write the page\n");
        return 2;
    }
    file.close();
    const QUrl url = QUrl::fromLocalFile(path);
    std::printf("page: %.2f MB\n", html.size() / 1e6);

    QWebEnginePage page;
    LiveReadRun run(page, harvest(ReadHtmlPage(html, url)));
    QElapsedTimer loading;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &run, [&](bool ok) {
        if (!ok) {
            std::fprintf(stderr, "the page did not load\n");
            QCoreApplication::exit(2);
            return;
        }
        std::printf("page loaded in %.0f ms\n", loading.nsecsElapsed() / 1e6);
        run.start();
    });
    loading.start();
    page.load(url);
    return application.exec();
}
