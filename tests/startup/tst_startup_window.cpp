// The startup window offscreen: its load, the windows it leads to and that
// bring it back, the update check against the fixture site, and the About
// box opened from the menus.
#include "about/AboutBox.h"
#include "about/AboutTexts.h"
#include "download_window/DownloadWindow.h"
#include "download_window/WindowTexts.h"
#include "engine/DownloadEngine.h"
#include "platform/Registry.h"
#include "platform/WindowDirectory.h"
#include "search_window/SearchWindow.h"
#include "startup/BrowserEmulation.h"
#include "startup/StartupTexts.h"
#include "updates/XmlHttp.h"
#include "startup/StartupWindow.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/WindowServicesRig.h"
#include "widgets/LoadedWindows.h"
#include "updates/UpdateCheck.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>
#include <QtTest>

#include <memory>

namespace {

constexpr int kWaitMs = 20000;

// The program's services over a real settings file and registry file, a
// fresh browser profile, and recorded prompts, sounds and shell.
struct StartupRig : WindowServicesRig
{
    QTemporaryDir registryDir;
    Registry registry{registryDir.filePath(QStringLiteral("Registry.ini"))};
    int programEnded = 0;
    QPointer<StartupWindow> cover;

    StartupWindow *open(const QString &updateBase = QString())
    {
        cover = new StartupWindow({services(), registry, updateBase, [this] { ++programEnded; }});
        cover->show();
        return cover;
    }

    // Windows go before the profile their pages live in.
    ~StartupRig()
    {
        QList<QPointer<QWidget>> windows;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (!widget->parentWidget())
                windows.append(widget);
        }
        for (const QPointer<QWidget> &window : windows)
            delete window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        profile.reset();
    }
};

SearchWindow *searchWindow()
{
    return qobject_cast<SearchWindow *>(LoadedWindow(kSearchWindowName));
}

DownloadWindow *downloadWindow()
{
    return qobject_cast<DownloadWindow *>(LoadedWindow(kDownloadWindowName));
}

// Closes a window as its close box does and lets its deletion run.
void closeWindow(QWidget *window)
{
    QVERIFY(window);
    QVERIFY(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestStartupWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void load();
    void closingMainWindows_data();
    void closingMainWindows();
    void closingStartupWindowEndsProgram();
    void closingStartupWindowClosesMainWindowsFirst();
    void windowMenuShowsSearchWindow();
    void updateCheck_data();
    void updateCheck();
    void aboutBoxFromMenus_data();
    void aboutBoxFromMenus();
    void systemInformation_data();
    void systemInformation();

private:
    FixtureSite m_site;
};

void TestStartupWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_site.start());
    m_site.addRoute("/blank", [](const FixtureSite::Request &) {
        FixtureSite::Response response;
        response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html")));
        response.body = "<html><body>start</body></html>";
        return response;
    });
    qputenv("PAPERDRIFT_START_PAGE", m_site.url("/blank").toUtf8());
}

void TestStartupWindow::load()
{
    StartupRig rig;
    StartupWindow *cover = rig.open();
    QCOMPARE(cover->objectName(), QStringLiteral("fCover"));
    QCOMPARE(cover->windowTitle(), QStringLiteral("Paperdrift"));
    QCOMPARE(cover->Label2->text(), QStringLiteral("版本:") + VersionText(RunningVersion()));
    QCOMPARE(cover->Label4->text(),
             QStringLiteral("(该软件仅用于爱学习的人们辅助少量下载；请不要恶意下载和大量下载！)"));
    QVERIFY(cover->Label1->isHidden());
    QCOMPARE(cover->Command1->text(), QStringLiteral("资料检索下载"));
    QCOMPARE(cover->Command3->text(), QStringLiteral("退出软件"));
    QCOMPARE(cover->size(), cover->Image1->pixmap().size());
    QVERIFY(!cover->Image1->pixmap().isNull());
    QVERIFY(cover->Timer1->isSingleShot());
    QCOMPARE(cover->Timer1->interval(), 100);
    QVERIFY(cover->osDescription().endsWith(QStringLiteral("位]")));
    QVERIFY(cover->osDescription().contains(QStringLiteral("[64位]"))
            || cover->osDescription().contains(QStringLiteral("[32位]")));
    // The size limit never saved reads as 10.
    QCOMPARE(rig.session.MaxFileSizeMB, 10.0);
    QCOMPARE(rig.registry.readDword(kBrowserEmulationKey, ExecutableValueName()), std::optional<quint32>(10001));
    // No update base: when Timer1 has fired, no request runs and no message came.
    if (cover->Timer1->isActive())
        QVERIFY(QSignalSpy(cover->Timer1, &QTimer::timeout).wait(kWaitMs));
    QVERIFY(!cover->uXMLHTTP2->tmrReader()->isActive());
    QVERIFY(rig.prompts.records.isEmpty());
}

// Which window is shown after each close: the startup window comes back only
// when the other main window is not loaded.
// clang-format off
void TestStartupWindow::closingMainWindows_data()
{
    QTest::addColumn<bool>("withDownloadWindow");
    QTest::addColumn<QString>("firstClosed");

    QTest::newRow("search window alone") << false << "search";
    QTest::newRow("search window, then download window") << true << "search";
    QTest::newRow("download window, then search window") << true << "download";
}
// clang-format on

void TestStartupWindow::closingMainWindows()
{
    QFETCH(bool, withDownloadWindow);
    QFETCH(QString, firstClosed);
    StartupRig rig;
    StartupWindow *cover = rig.open();
    cover->Command1->click();
    QVERIFY(cover->isHidden());
    QVERIFY(searchWindow());
    QVERIFY(searchWindow()->isVisible());
    if (!withDownloadWindow) {
        closeWindow(searchWindow());
        QVERIFY(cover->isVisible());
        QVERIFY(!IsWindowLoaded(kSearchWindowName));
        return;
    }
    searchWindow()->openDownloadWindow();
    QVERIFY(downloadWindow() && downloadWindow()->isVisible());

    QWidget *first = firstClosed == QLatin1String("search") ? static_cast<QWidget *>(searchWindow()) : downloadWindow();
    QWidget *second = first == searchWindow() ? static_cast<QWidget *>(downloadWindow()) : searchWindow();
    closeWindow(first);
    QVERIFY(cover->isHidden());
    QVERIFY(second->isVisible());
    closeWindow(second);
    QVERIFY(cover->isVisible());
    QCOMPARE(rig.programEnded, 0);

    // And on again: a new search window.
    cover->Command1->click();
    QVERIFY(searchWindow() && searchWindow()->isVisible());
}

void TestStartupWindow::closingStartupWindowEndsProgram()
{
    StartupRig rig;
    StartupWindow *cover = rig.open();
    cover->Command1->click();
    QVERIFY(searchWindow());
    cover->show();
    QVERIFY(cover->close());
    QCOMPARE(rig.programEnded, 1);

    StartupRig quitting;
    quitting.open()->Command3->click();
    QCOMPARE(quitting.programEnded, 1);
}

// The main windows close by their own closing steps before the program
// ends: a download window whose user keeps it open keeps the program running.
void TestStartupWindow::closingStartupWindowClosesMainWindowsFirst()
{
    StartupRig rig;
    StartupWindow *cover = rig.open();
    cover->Command1->click();
    searchWindow()->openDownloadWindow();
    DownloadItem item;
    item.Url = QStringLiteral("http://127.0.0.1:9/never.pdf");
    item.Name = QStringLiteral("never");
    item.Type = QStringLiteral("pdf");
    downloadWindow()->engine().list().addItem(std::move(item));
    cover->show();

    rig.prompts.answers.enqueue(PromptAnswer::No);
    QVERIFY(!cover->close());
    QCOMPARE(rig.programEnded, 0);
    QVERIFY(downloadWindow() && downloadWindow()->isVisible());
    QCOMPARE(rig.prompts.records.size(), 1);
    QCOMPARE(rig.prompts.records.constLast().text, WindowText::kCloseQuestion);

    rig.prompts.answers.enqueue(PromptAnswer::Yes);
    QVERIFY(cover->close());
    QCOMPARE(rig.programEnded, 1);
    QCOMPARE(rig.prompts.records.size(), 2);
    QVERIFY(!downloadWindow() || !downloadWindow()->isVisible());
    QVERIFY(!searchWindow() || !searchWindow()->isVisible());
}

void TestStartupWindow::windowMenuShowsSearchWindow()
{
    StartupRig rig;
    StartupWindow *cover = rig.open();
    cover->Command1->click();
    searchWindow()->openDownloadWindow();
    QPointer<DownloadWindow> download = downloadWindow();
    closeWindow(searchWindow());
    QVERIFY(!IsWindowLoaded(kSearchWindowName));

    auto *entry = download->findChild<QAction *>(QStringLiteral("menu资料检索分析窗口"));
    QVERIFY(entry);
    entry->trigger();
    QVERIFY(searchWindow());
    QVERIFY(searchWindow()->isVisible());
    QVERIFY(cover->isHidden());
    // Shown again, not loaded twice.
    entry->trigger();
    int loaded = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        loaded += widget->objectName() == kSearchWindowName && !widget->isHidden();
    QCOMPARE(loaded, 1);
}

// clang-format off
void TestStartupWindow::updateCheck_data()
{
    QTest::addColumn<QByteArray>("answer"); // the version file; empty: no such file
    QTest::addColumn<bool>("newer");
    QTest::addColumn<QString>("message");

    const ProgramVersion running = RunningVersion();
    const ProgramVersion next{running.major, running.minor, running.revision + 1};
    QTest::newRow("newer") << VersionText(next).toUtf8() << true << "软件有最新版本可以下载更新！";
    QTest::newRow("same") << VersionText(running).toUtf8() << false << "";
    QTest::newRow("no file") << QByteArray() << false << "请保持网络畅通！";
}
// clang-format on

void TestStartupWindow::updateCheck()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, newer);
    QFETCH(QString, message);
    const QString folder = QStringLiteral("/u-%1/").arg(QTest::currentDataTag()).replace(' ', '-');
    if (!answer.isEmpty()) {
        m_site.addRoute((folder + QStringLiteral("Paperdrift/newver.txt")).toUtf8(),
                        [answer](const FixtureSite::Request &) {
                            FixtureSite::Response response;
                            response.body = answer;
                            return response;
                        });
    }
    m_site.clearRequests();
    StartupRig rig;
    StartupWindow *cover = rig.open(m_site.url(folder));
    const QString page = m_site.url(folder + QStringLiteral("Paperdrift/"));
    if (message.isEmpty()) {
        // The answer has been read and judged: nothing to say.
        QTRY_VERIFY_WITH_TIMEOUT(cover->uXMLHTTP2->downOk(), kWaitMs);
        QCOMPARE(m_site.requests().size(), 1);
        QVERIFY(rig.prompts.records.isEmpty());
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(rig.prompts.records.size(), 1, kWaitMs);
        QCOMPARE(rig.prompts.records.at(0).text, message);
        QCOMPARE(rig.prompts.records.at(0).title, QStringLiteral("Paperdrift"));
        QVERIFY(!rig.prompts.records.at(0).waited);
        QCOMPARE(rig.prompts.records.at(0).icon, newer ? PromptIcon::Information : PromptIcon::Error);
    }
    QCOMPARE(m_site.requests().size(), 1);
    QCOMPARE(cover->Label1->isVisible(), newer);
    if (!newer) {
        QVERIFY(rig.shell.calls.isEmpty());
        return;
    }
    QCOMPARE(cover->Label1->text(), QStringLiteral("有最新版本：V") + QString::fromUtf8(answer));
    const QList<ShellRecorder::Call> opened{{ShellRecorder::Kind::OpenUrl, page}};
    QCOMPARE(rig.shell.calls, opened);
    // A click on the label opens the page again.
    QTest::mouseClick(cover->Label1, Qt::LeftButton);
    QCOMPARE(rig.shell.calls.size(), 2);
    QCOMPARE(rig.shell.calls.last(), opened.first());
}

// clang-format off
void TestStartupWindow::aboutBoxFromMenus_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("entry");

    QTest::newRow("search window") << "fWebSearch" << "menu关于";
    QTest::newRow("download window") << "fFileDownload" << "menu关于";
}
// clang-format on

void TestStartupWindow::aboutBoxFromMenus()
{
    QFETCH(QString, window);
    QFETCH(QString, entry);
    StartupRig rig;
    rig.open()->Command1->click();
    searchWindow()->openDownloadWindow();
    QWidget *host = LoadedWindow(window);
    QVERIFY(host);
    auto *action = host->findChild<QAction *>(entry);
    QVERIFY(action);

    QString caption, name, version, ok, sysInfo;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<AboutBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        modal = box->isModal();
        caption = box->windowTitle();
        name = box->lsoftname->text();
        version = box->lblVersion->text();
        ok = box->cmdOK->text();
        sysInfo = box->cmdSysInfo->text();
        box->cmdOK->click();
    });
    action->trigger();
    QVERIFY(modal);
    QCOMPARE(caption, QStringLiteral("关于『Paperdrift』 "));
    QCOMPARE(name, QStringLiteral("Paperdrift"));
    QCOMPARE(version, QStringLiteral("版本 ") + VersionText(RunningVersion()));
    QCOMPARE(ok, QStringLiteral("确定"));
    QCOMPARE(sysInfo, QStringLiteral("系统信息(&S)..."));
}

// What "系统信息(&S)..." starts, by what the registry holds.
// clang-format off
void TestStartupWindow::systemInformation_data()
{
    QTest::addColumn<QString>("path");     // MSINFO "PATH"; "-": not registered
    QTest::addColumn<QString>("location"); // "MSINFO" folder; "-": not registered; "here": a folder with the program
    QTest::addColumn<QString>("started");  // "": the message instead; "here": the program in that folder

    QTest::newRow("nothing registered") << "-" << "-" << "";
    QTest::newRow("program registered") << "/opt/info/msinfo" << "-" << "/opt/info/msinfo";
    QTest::newRow("folder with the program") << "-" << "here" << "here";
    QTest::newRow("folder without the program") << "-" << "/nowhere/at/all" << "";
}
// clang-format on

void TestStartupWindow::systemInformation()
{
    QFETCH(QString, path);
    QFETCH(QString, location);
    QFETCH(QString, started);
    StartupRig rig;
    QTemporaryDir folder;
    QFile program(folder.filePath(QStringLiteral("MSINFO32.EXE")));
    QVERIFY(program.open(QIODevice::WriteOnly));
    program.close();
    if (location == QLatin1String("here"))
        location = folder.path();
    if (started == QLatin1String("here"))
        started = program.fileName();
    const QString root = QStringLiteral("HKEY_LOCAL_MACHINE\\");
    if (path != QLatin1String("-"))
        rig.registry.writeText(root + kSysInfoKey, kSysInfoValue, path);
    if (location != QLatin1String("-"))
        rig.registry.writeText(root + kSysInfoLocationKey, kSysInfoLocationValue, location);

    AboutBox box(rig.prompts, rig.registry);
    QStringList launched;
    box.setLauncher([&](const QString &program) {
        launched.append(program);
        return true;
    });
    box.cmdSysInfo->click();
    if (started.isEmpty()) {
        QVERIFY(launched.isEmpty());
        QCOMPARE(rig.prompts.messageTexts(), QStringList{QStringLiteral("此时系统信息不可用")});
        QCOMPARE(rig.prompts.records.at(0).buttons, PromptButtons::Ok);
    } else {
        QCOMPARE(launched, QStringList{started});
        QVERIFY(rig.prompts.records.isEmpty());
    }
}

QTEST_MAIN(TestStartupWindow)
#include "tst_startup_window.moc"
