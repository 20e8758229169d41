// The search window offscreen, in a real browser against the fixture site:
// its load, the browser's events, the splitter and the size limits, the
// address prompt, the add commands' button, the hand-over to the download
// window and its close.
#include "browser/WebBrowser.h"
#include "download_window/CommandStrip.h"
#include "engine/DownloadEngine.h"
#include "settings_dialogs/OptionsDialog.h"
#include "harvester/HarvestList.h"
#include "search_window/SplitterBar.h"
#include "tests/search_window/SearchRig.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/WidgetHelpers.h"

#include <QAction>
#include <QDialog>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QWebEnginePage>
#include <QtTest>

namespace {

constexpr int kWaitMs = 20000;

QString pathShown(SearchWindow *window)
{
    return window->WebBrowser1->url().path();
}

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void loadOpensTheStartPageSilently();
    void newWindowLinkOpensInThePane();
    void pageCannotCloseTheWindow();
    void scriptPromptsFollowCheck2_data();
    void scriptPromptsFollowCheck2();
    void statusTextInSecondPanel();
    void splitterDrop_data();
    void splitterDrop();
    void tooSmallWindowSpringsBack();
    void openAddress_data();
    void openAddress();
    void addAllButtonWhileRunning();
    void filtersFollowTheTickBoxes_data();
    void filtersFollowTheTickBoxes();
    void handOverAndShowDownloadWindow();
    void listMenuAndExport();
    void settingsShowMethodInDownloadWindow_data();
    void settingsShowMethodInDownloadWindow();
    void closingKeepsTheDownloadWindow_data();
    void closingKeepsTheDownloadWindow();
    void browserCacheMenus();

private:
    bool waitForPath(const QString &path);
    void runInPage(const QString &script);
    void readThisPage(const QString &folder);

    FixtureSite m_site;
    std::unique_ptr<SearchRig> m_rig;
    SearchWindow *m_window = nullptr;
};

void TestSearchWindow::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_site.start());
    m_site.addRoute("/start", [](const FixtureSite::Request &) {
        return FixtureSite::Response::htmlPage(
            "Start", "<a id=\"blank\" href=\"/results?page=1\" target=\"_blank\">results</a>"
                     "<a id=\"plain\" href=\"/signin?form=standard\" style=\"display:block;height:200px\">sign in</a>");
    });
    qputenv("PAPERDRIFT_START_PAGE", m_site.url("/start").toUtf8());
}

void TestSearchWindow::init()
{
    m_rig = std::make_unique<SearchRig>();
    m_window = m_rig->open();
    QVERIFY(waitForPath(QStringLiteral("/start")));
}

void TestSearchWindow::cleanup()
{
    m_rig.reset();
    m_window = nullptr;
}

bool TestSearchWindow::waitForPath(const QString &path)
{
    return QTest::qWaitFor([&] { return m_window && pathShown(m_window) == path && !m_window->WebBrowser1->isBusy(); },
                           kWaitMs);
}

// Runs a script in the page's own world, where its dialogs and its window
// belong.
void TestSearchWindow::runInPage(const QString &script)
{
    m_window->WebBrowser1->page()->runJavaScript(script);
}

// "加入本页到列表" on the first result page, the folder answered when the
// dialog comes up.
void TestSearchWindow::readThisPage(const QString &folder)
{
    SaveFolderAnswer answer(m_rig->prompts, folder);
    m_window->WebBrowser1->navigate(m_site.url("/results?page=1"));
    QVERIFY(waitForPath(QStringLiteral("/results")));
    m_window->Command9->click();
    QVERIFY(QTest::qWaitFor([&] { return m_window->harvestList().count() == 4; }, kWaitMs));
    QCOMPARE(m_window->Label1->text(), QStringLiteral("4"));
}

void TestSearchWindow::loadOpensTheStartPageSilently()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("fWebSearch"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("AIAA数据检索分析-Paperdrift"));
    QVERIFY(m_window->Check2->isChecked());
    QVERIFY(m_window->WebBrowser1->isSilent());
    QVERIFY(m_window->PicPanPrograss->isHidden());
    QCOMPARE(m_rig->session.AskSaveFolder, qint16(1)); // the store's default
    QVERIFY(!m_window->downloadWindow());

    // "加入" pops up from "分析下载" only; it is not in the menu bar.
    QStringList bar;
    for (QAction *action : m_window->menuBar()->actions())
        bar.append(action->text());
    QCOMPARE(bar, (QStringList{QStringLiteral("浏览(&B)"), QStringLiteral("清除(&C)"), QStringLiteral("工具(&T)"),
                               QStringLiteral("帮助(&H)")}));
}

void TestSearchWindow::newWindowLinkOpensInThePane()
{
    const int windows = visibleTopLevelWidgets();
    runInPage(QStringLiteral("document.getElementById('blank').click()"));
    QVERIFY(waitForPath(QStringLiteral("/results")));
    QCOMPARE(visibleTopLevelWidgets(), windows);
}

void TestSearchWindow::pageCannotCloseTheWindow()
{
    QSignalSpy closeRequests(m_window->WebBrowser1->page(), &QWebEnginePage::windowCloseRequested);
    runInPage(QStringLiteral("window.close()"));
    QVERIFY(closeRequests.wait(kWaitMs));
    // What the request could have set off has run by now: the calls it
    // queued and the deletions it asked for.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_window);
    QVERIFY(m_window->isVisible());
    QCOMPARE(pathShown(m_window), QStringLiteral("/start"));
}

// Ticked, an alert() shows nothing and the page's script goes on; unticked,
// the box comes up (and is closed here).
// clang-format off
void TestSearchWindow::scriptPromptsFollowCheck2_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::newRow("Check2 ticked") << true;
    QTest::newRow("Check2 unticked") << false;
}
// clang-format on

void TestSearchWindow::scriptPromptsFollowCheck2()
{
    QFETCH(bool, ticked);
    m_window->Check2->setChecked(ticked);

    bool boxShown = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            boxShown = true;
            modal->close();
        }
    });
    watch.start(50);

    bool answered = false;
    m_window->WebBrowser1->page()->runJavaScript(QStringLiteral("alert('x'); 'went on'"),
                                                 [&](const QVariant &) { answered = true; });
    QVERIFY(QTest::qWaitFor([&] { return answered; }, kWaitMs));
    QCOMPARE(boxShown, !ticked);
}

void TestSearchWindow::statusTextInSecondPanel()
{
    QSignalSpy status(m_window->WebBrowser1, &WebBrowser::statusTextChanged);
    QWidget *view = m_window->WebBrowser1->focusProxy();
    QVERIFY(view);
    // The tall link lies across the middle of the page's first 200 pixels.
    QVERIFY(QTest::qWaitFor(
        [&] {
            QMouseEvent move(QEvent::MouseMove, QPointF(20, 100), view->mapToGlobal(QPointF(20, 100)), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view, &move);
            return m_window->panel2->text().endsWith(QStringLiteral("/signin?form=standard"));
        },
        kWaitMs));
}

// The splitter dropped where the panes still have room stays; dropped too
// low or above the top it goes to four fifths of the window's height.
// clang-format off
void TestSearchWindow::splitterDrop_data()
{
    QTest::addColumn<double>("dropAtFraction");
    QTest::addColumn<bool>("stays");

    QTest::newRow("in the middle") << 0.5 << true;
    QTest::newRow("too low") << 0.99 << false;
    QTest::newRow("above the top") << -0.1 << false;
}
// clang-format on

void TestSearchWindow::splitterDrop()
{
    QFETCH(double, dropAtFraction);
    QFETCH(bool, stays);

    m_window->resize(1000, 700);
    SplitterBar *bar = m_window->PicBar;
    const int target = int(m_window->height() * dropAtFraction);
    const QPointF grab(10, 1);
    const auto send = [bar](QEvent::Type type, const QPointF &at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, bar->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    };
    send(QEvent::MouseButtonPress, grab, Qt::LeftButton);
    send(QEvent::MouseMove, QPointF(grab.x(), grab.y() + target - bar->y()), Qt::LeftButton);
    QCOMPARE(bar->y(), target); // the bar follows the pointer while held
    send(QEvent::MouseButtonRelease, QPointF(grab.x(), grab.y()), Qt::NoButton);

    const int fourFifths = m_window->height() * 15 * 4 / 5 / 15;
    QCOMPARE(bar->y(), stays ? target : fourFifths);
    QCOMPARE(m_window->PicPanWeb->geometry().bottom() + 1, bar->y());
    QCOMPARE(m_window->PicPanList->y(), bar->geometry().bottom() + 1);
}

void TestSearchWindow::tooSmallWindowSpringsBack()
{
    m_window->resize(300, 200);
    QTRY_VERIFY(m_window->width() * 15 >= 9000 && m_window->height() * 15 >= 5000);
    QCOMPARE(m_window->width(), 600);
    QCOMPARE(m_window->height(), 334);
}

// An answer over HTTPS unticks Check2; any other answer ticks it; an empty
// one navigates nowhere.
// clang-format off
void TestSearchWindow::openAddress_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("scheme"); // of the address loaded; empty: none

    QTest::newRow("http address") << "http://127.0.0.1:%1/results?page=2" << true << "http";
    QTest::newRow("HTTPS address") << " HTTPS://127.0.0.1:%1/results?page=2" << false << "https";
    QTest::newRow("empty answer") << "" << true << "";
    QTest::newRow("cancelled") << QString() << true << "";
}
// clang-format on

void TestSearchWindow::openAddress()
{
    QFETCH(QString, answer);
    QFETCH(bool, ticked);
    QFETCH(QString, scheme);

    m_window->Check2->setChecked(!ticked);
    QSignalSpy started(m_window->WebBrowser1->page(), &QWebEnginePage::loadStarted);
    if (answer.isNull())
        m_rig->prompts.inputs.enqueue(std::nullopt);
    else
        m_rig->prompts.inputs.enqueue(answer.contains(QLatin1String("%1")) ? answer.arg(m_site.port()) : answer);
    m_window->menus().openAddress->trigger();

    const PromptRecorder::Record &asked = m_rig->prompts.records.last();
    QCOMPARE(asked.text, QStringLiteral("请输入需要打开的网址："));
    QCOMPARE(asked.title, QStringLiteral("请输入..."));
    QCOMPARE(m_window->Check2->isChecked(), ticked);
    QCOMPARE(m_window->WebBrowser1->isSilent(), ticked);
    if (scheme.isEmpty()) {
        QVERIFY(!started.wait(500));
        QCOMPARE(pathShown(m_window), QStringLiteral("/start"));
    } else {
        QTRY_COMPARE(m_window->WebBrowser1->page()->requestedUrl().scheme(), scheme);
        QCOMPARE(m_window->WebBrowser1->page()->requestedUrl().path(), QStringLiteral("/results"));
    }
}

// While add all runs the button reads "停止加入全部" on red and the browser
// pane is disabled; all three result pages end in the list.
void TestSearchWindow::addAllButtonWhileRunning()
{
    m_rig->session.AskSaveFolder = 0;
    m_window->WebBrowser1->navigate(m_site.url("/results?page=1"));
    QVERIFY(waitForPath(QStringLiteral("/results")));

    m_window->Command4->click();
    QCOMPARE(m_window->Command4->text(), QStringLiteral("停止加入全部"));
    QVERIFY(m_window->Command4->styleSheet().contains(QStringLiteral("255, 0, 0")));
    QVERIFY(!m_window->PicPanWeb->isEnabled());

    QVERIFY(QTest::qWaitFor([&] { return m_window->Command4->text() == QStringLiteral("加入全部到列表"); }, 60000));
    QVERIFY(m_window->Command4->styleSheet().isEmpty());
    QVERIFY(m_window->PicPanWeb->isEnabled());
    QCOMPARE(m_window->harvestList().count(), 7);
    QCOMPARE(m_window->Label1->text(), QStringLiteral("7"));
}

// "只提取网页勾选项" (Check1) and the free-only box (Check3) decide which
// entries of the first result page are read.
// clang-format off
void TestSearchWindow::filtersFollowTheTickBoxes_data()
{
    QTest::addColumn<bool>("tickedOnly");
    QTest::addColumn<bool>("freeOnly");
    QTest::addColumn<QStringList>("links");

    QTest::newRow("every entry") << false << false
                                 << QStringList{"6.2016-1234", "1.J055000", "1.C034000", "1.A33000"};
    QTest::newRow("ticked on the page") << true << false << QStringList{"1.J055000", "1.A33000"};
    QTest::newRow("free") << false << true << QStringList{"6.2016-1234", "1.C034000"};
}
// clang-format on

void TestSearchWindow::filtersFollowTheTickBoxes()
{
    QFETCH(bool, tickedOnly);
    QFETCH(bool, freeOnly);
    QFETCH(QStringList, links);

    m_rig->session.AskSaveFolder = 0;
    m_window->Check1->setChecked(tickedOnly);
    m_window->Check3->setChecked(freeOnly);
    m_window->WebBrowser1->navigate(m_site.url("/results?page=1"));
    QVERIFY(waitForPath(QStringLiteral("/results")));
    m_window->Command9->click();
    QVERIFY(QTest::qWaitFor([&] { return m_window->harvestList().count() > 0; }, kWaitMs));

    QStringList read;
    for (int row = 0; row < m_window->harvestList().count(); ++row)
        read.append(m_window->harvestList().at(row).Link.section(QLatin1Char('/'), -1).section(QLatin1Char('?'), 0, 0));
    QCOMPARE(read, links);
}

// The first hand-over creates the download window; the pass brings it up,
// maximised when it was minimised. "打开下载窗口" shows it as it is.
void TestSearchWindow::handOverAndShowDownloadWindow()
{
    QTemporaryDir folder;
    readThisPage(folder.path());

    m_window->Command2->click(); // no row selected: "分析全部"
    QVERIFY(m_window->PicPanPrograss->isVisible());
    QCOMPARE(m_window->Label11->text(), QStringLiteral("正在分析,请稍候..."));
    QVERIFY(!m_window->Command2->isEnabled());
    QVERIFY(QTest::qWaitFor([&] { return m_window->downloadWindow() && m_window->downloadWindow()->isVisible(); },
                            kWaitMs));
    DownloadWindow *downloads = m_window->downloadWindow();
    QCOMPARE(downloads->engine().list().count(), 4);
    for (int row = 0; row < 4; ++row)
        QCOMPARE(m_window->harvestList().at(row).Status, QStringLiteral("成功"));
    QVERIFY(m_window->Command2->isEnabled());
    QVERIFY(m_window->PicPanPrograss->isHidden());

    // A selected row: "分析下载" pops the menu "加入" up.
    m_window->ListView1->selectionModel()->select(m_window->harvestList().index(1, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_window->Command2->click();
    QTRY_VERIFY(m_window->menus().addMenu->isVisible());
    m_window->menus().addMenu->hide();
    QTRY_VERIFY(m_window->Command2->isEnabled());

    // Minimised from its normal size, not from a maximised one.
    downloads->setWindowState(Qt::WindowMinimized);
    QVERIFY(downloads->isMinimized());
    m_window->menus().openDownloadWindow->trigger();
    QVERIFY(downloads->isMinimized());

    m_window->menus().passAll->trigger();
    QTRY_COMPARE(downloads->windowState(), Qt::WindowMaximized);
    QCOMPARE(downloads->engine().list().count(), 4);
}

// The list's right-click menu is "清除(&C)"; a clear refreshes the counter.
// "导出数据..." writes the list where the save dialog says.
void TestSearchWindow::listMenuAndExport()
{
    QTemporaryDir folder;
    readThisPage(folder.path());

    QTreeView *list = m_window->ListView1;
    emit list->customContextMenuRequested(QPoint(10, 10));
    QTRY_VERIFY(m_window->menus().clear->isVisible());
    m_window->menus().clear->hide();

    const QString exported = folder.filePath(QStringLiteral("list.txt"));
    m_rig->prompts.paths.enqueue(exported);
    m_window->Command7->click();
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), 4);

    m_rig->prompts.inputs.enqueue(QStringLiteral("WING"));
    m_window->menus().clearContaining->trigger();
    QCOMPARE(m_window->harvestList().count(), 2); // "...Slender Wings" and "Wing Flutter..." go
    QCOMPARE(m_window->Label1->text(), QStringLiteral("2"));

    m_rig->prompts.answers.enqueue(PromptAnswer::Yes);
    m_window->menus().clearAll->trigger();
    QCOMPARE(m_window->harvestList().count(), 0);
    QCOMPARE(m_window->Label1->text(), QStringLiteral("0"));
}

// "设置" from the search window: a method confirmed there shows at once in
// the open download window.
// clang-format off
void TestSearchWindow::settingsShowMethodInDownloadWindow_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("threadBoxEnabled");
    QTest::addColumn<int>("threadPosition");

    QTest::newRow("method one") << 1 << false << 2;
    QTest::newRow("method two: one worker") << 2 << true << 0;
}
// clang-format on

void TestSearchWindow::settingsShowMethodInDownloadWindow()
{
    QFETCH(int, method);
    QFETCH(bool, threadBoxEnabled);
    QFETCH(int, threadPosition);

    m_window->menus().openDownloadWindow->trigger();
    CommandStrip *strip = m_window->downloadWindow()->Picture3;
    strip->Combo1->setCurrentIndex(2);

    bool answered = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<OptionsDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        (method == 1 ? dialog->Option1 : dialog->Option2)->setChecked(true);
        dialog->Command1->click();
        answered = true;
    });
    watch.start(50);
    m_window->menus().settings->trigger();

    QVERIFY(answered);
    QCOMPARE(m_rig->session.DownloadMethod, DownloadMethodFromNumber(method));
    QCOMPARE(strip->Label7->text(), QStringLiteral("下载方式：%1").arg(method));
    QCOMPARE(strip->Combo1->isEnabled(), threadBoxEnabled);
    QCOMPARE(strip->Combo1->currentIndex(), threadPosition);
}

// Closing the search window ends nothing else: a download window that is
// loaded stays, and one that is loaded but hidden comes up, so the program
// goes on with a window the user can see.
// clang-format off
void TestSearchWindow::closingKeepsTheDownloadWindow_data()
{
    QTest::addColumn<bool>("shownFirst");
    QTest::newRow("download window shown") << true;
    QTest::newRow("download window loaded, hidden") << false;
}
// clang-format on

void TestSearchWindow::closingKeepsTheDownloadWindow()
{
    QFETCH(bool, shownFirst);

    QPointer<DownloadWindow> downloads;
    if (shownFirst) {
        m_window->menus().openDownloadWindow->trigger();
        downloads = m_window->downloadWindow();
        QVERIFY(downloads && downloads->isVisible());
    } else {
        // A hand-over without the pass's ending: the window is created hidden.
        QTemporaryDir folder;
        readThisPage(folder.path());
        m_window->menus().passAll->trigger();
        QVERIFY(QTest::qWaitFor([&] { return m_window->downloadWindow() != nullptr; }, kWaitMs));
        downloads = m_window->downloadWindow();
        m_rig->downloadWindow = downloads;
        QTRY_VERIFY(downloads->isVisible());
        downloads->hide();
    }
    m_rig->downloadWindow = downloads;

    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    QVERIFY(m_window->close());
    QTRY_VERIFY(!m_rig->window); // destroyed with its harvest list
    QVERIFY(downloads);
    QVERIFY(downloads->isVisible());
    QCOMPARE(lastClosed.count(), 0);
}

// "查看IE浏览器缓存" opens the cache viewer modal to the window; "清空IE浏览器缓存"
// empties the cache and says so.
void TestSearchWindow::browserCacheMenus()
{
    m_window->findChild<QAction *>(QStringLiteral("menu查看IE浏览器缓存"))->trigger();
    auto *viewer = m_window->findChild<QDialog *>(QStringLiteral("fIEcache"));
    QVERIFY(viewer && viewer->isVisible() && viewer->isModal());
    viewer->close();

    m_rig->prompts.clear();
    m_window->findChild<QAction *>(QStringLiteral("menu清空IE浏览器缓存"))->trigger();
    QCOMPARE(m_rig->prompts.messageTexts(), QStringList{QStringLiteral("IE缓存清空完毕！")});
}

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    TestSearchWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_search_window.moc"
