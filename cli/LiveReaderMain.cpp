// paperdrift-live-reader [--load-limit SECONDS] URL...
//
// The browser side of "paperdrift-cli extract --live", a program of its own
// so that paperdrift-cli links no browser or GUI library. It loads each
// address in the embedded browser, offscreen, reads the document with the
// search window's own reading script and writes one line of JSON per page
// read to standard output (the page model, see PageModelJson.h). A page that
// fails to load, or does not finish loading and reading within the limit
// (the wait for a result page, 30 seconds, unless given), is reported on a
// line of its own and skipped.
//
// Exit code 0; 1 when a page was skipped; 2 for wrong arguments.
#include "cli/PageModelJson.h"
#include "harvester/LivePageReader.h"
#include "harvester/Paging.h"
#include "platform/Console.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <cstdio>

namespace {

constexpr int kExitSkipped = 1;
constexpr int kExitUsage = 2;

// Loads and reads the addresses one after the other; each page gets a fresh
// browser page, so that nothing late from the one before reaches it.
class LiveReadRun final : public QObject
{
public:
    LiveReadRun(const QStringList &urls, double limitSeconds) : m_urls(urls)
    {
        m_limit.setSingleShot(true);
        m_limit.setInterval(qRound(limitSeconds * 1000));
        connect(&m_limit, &QTimer::timeout, this, [this] {
            skip(QStringLiteral("did not finish loading within %1 seconds").arg(m_limit.interval() / 1000.0));
        });
    }

    void next()
    {
        if (m_page)
            m_page->deleteLater();
        if (m_index >= m_urls.size()) {
            QCoreApplication::exit(m_exitCode);
            return;
        }
        m_page = new QWebEnginePage(this);
        m_reading = false;
        const QPointer<QWebEnginePage> page = m_page;
        connect(m_page, &QWebEnginePage::loadFinished, this, [this, page](bool ok) {
            if (page != m_page || m_reading)
                return;
            if (!ok) {
                skip(QStringLiteral("could not be loaded"));
                return;
            }
            m_reading = true;
            LivePageReader::read(m_page, m_page, [this, page](const PageModel &model) {
                if (page != m_page)
                    return;
                m_limit.stop();
                writeLine(kLivePageTag + PageModelToJsonLine(model));
                ++m_index;
                next();
            });
        });
        m_limit.start();
        m_page->load(QUrl(m_urls.at(m_index)));
    }

private:
    static void writeLine(const QByteArray &line)
    {
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }

    void skip(const QString &why)
    {
        m_limit.stop();
        writeLine(kLiveSkippedTag + QStringLiteral("%1 %2; skipped").arg(m_urls.at(m_index), why).toUtf8());
        m_exitCode = kExitSkipped;
        ++m_index;
        next();
    }

    QStringList m_urls;
    qsizetype m_index = 0;
    int m_exitCode = 0;
    QTimer m_limit;
    QPointer<QWebEnginePage> m_page;
    bool m_reading = false;
};

// The browser runs without a display and without the GPU, unless the caller
// has said otherwise. Its sandbox stays on, except for the administrator,
// whom the sandbox refuses.
void setDefaultEnvironment()
{
    const auto setDefault = [](const char *name, const QByteArray &value) {
        if (!qEnvironmentVariableIsSet(name))
            qputenv(name, value);
    };
    setDefault("QT_QPA_PLATFORM", "offscreen");
    if (RunsAsAdministrator())
        setDefault("QTWEBENGINE_DISABLE_SANDBOX", "1");
    setDefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-first-run --disable-background-networking");
}

} // namespace

int main(int argc, char *argv[])
{
    setDefaultEnvironment();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication application(argc, argv);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    double limitSeconds = Paging::kLoadLimitSeconds;
    if (arguments.size() >= 2 && arguments.first() == QLatin1String("--load-limit")) {
        bool ok = false;
        limitSeconds = arguments.at(1).toDouble(&ok);
        if (!ok || !(limitSeconds > 0) || limitSeconds > 3600)
            arguments.clear();
        else
            arguments.remove(0, 2);
    }
    if (arguments.isEmpty()) {
        std::fputs("usage: paperdrift-live-reader [--load-limit SECONDS] URL...\n", stderr);
        return kExitUsage;
    }

    LiveReadRun run(arguments, limitSeconds);
    QTimer::singleShot(0, &run, &LiveReadRun::next);
    return application.exec();
}
