#include "download_window/CommandStrip.h"
#include "download_window/DownloadListDelegate.h"
#include "download_window/DownloadWindow.h"
#include "engine/DownloadEngine.h"
#include "engine/RowTexts.h"
#include "common/SessionSettings.h"
#include "platform/Clock.h"
#include "settings_dialogs/OptionsDialog.h"
#include "settings/StoredSettings.h"
#include "widgets/LoadedWindows.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/ShellRecorder.h"
#include "tests/support/SoundRecorder.h"
#include "tests/support/TempSettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <memory>

namespace {

struct Row
{
    const char *url;
    ItemState state;
    const char *type = "pdf";
};

} // namespace

Q_DECLARE_METATYPE(QList<Row>)

// The download window driven through its controls and menus, offscreen, over
// a real settings file; prompts, sounds and the clock are recorded or manual.
class TestDownloadWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void caption_data();
    void caption();
    void loadReadsSettings_data();
    void loadReadsSettings();
    void stripBindsEngineOptions();
    void engineChangesShowOnStrip();

    void closeAsks_data();
    void closeAsks();
    void answerNoKeepsWindowButStoresRuleAndMethod();
    void closedWindowReopensEmpty();

    void rightClickRules_data();
    void rightClickRules();
    void schedulerMenuEntries();
    void selectionAndCopyName();
    void settingsDialogUpdatesMethod_data();
    void settingsDialogUpdatesMethod();
    void browserCacheEntry();
    void listCommandsThroughMenus();
    void headerClickSorts();
    void fileCommandsThroughMenusAndMouse();
    void toolsMenuFileCommands();
    void urlReplaceThroughMenu();
    void loginPanelCoversList();

    void progressCellsDrawBars_data();
    void progressCellsDrawBars();
    void statePicturesDiffer();
    void speedPanel();
    void resizePlacesListBelowStrip();
    void activationShowsRowCount();

private:
    DownloadWindow *openWindow();
    void addRows(const QList<Row> &rows);
    // A file for the row at the given position, under its path.
    void writeFile(int row, const QByteArray &bytes)
    {
        QFile file(ItemFilePath(m_window->engine().list().at(row)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString stored(const QString &section, const QString &key) const
    {
        return m_temp->store().GetSetting("Paperdrift", section, key, "absent");
    }
    template <typename T>
    T *control(const char *name) const
    {
        T *found = m_window->findChild<T *>(QString::fromUtf8(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QAction *action(const char *name) const { return control<QAction>(name); }
    // Closes the window and lets it be destroyed; true when it is gone.
    bool closeWindow()
    {
        m_window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return m_window.isNull();
    }

    std::unique_ptr<TempSettings> m_temp;
    std::unique_ptr<StoredSettings> m_stored;
    SessionSettings m_session;
    PromptRecorder m_prompts;
    SoundRecorder m_sounds;
    ManualClock m_clock;
    QNetworkAccessManager m_network;
    ShellRecorder m_shell;
    QPointer<DownloadWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_files; // the rows' folder
};

void TestDownloadWindow::init()
{
    m_temp = std::make_unique<TempSettings>();
    m_stored = std::make_unique<StoredSettings>(m_temp->store());
    m_session = SessionSettings();
    m_prompts.records.clear();
    m_prompts.answers.clear();
    m_prompts.paths.clear();
    m_prompts.inputs.clear();
    m_shell.calls.clear();
    m_files = std::make_unique<QTemporaryDir>();
}

void TestDownloadWindow::cleanup()
{
    if (m_window) {
        m_window->setAttribute(Qt::WA_DeleteOnClose, false);
        delete m_window;
    }
}

DownloadWindow *TestDownloadWindow::openWindow()
{
    m_window = new DownloadWindow({m_session, *m_stored, m_prompts, m_sounds, m_clock, m_network, m_shell});
    m_window->engine().setTimersRunning(false);
    m_window->show();
    return m_window;
}

void TestDownloadWindow::addRows(const QList<Row> &rows)
{
    for (const Row &row : rows) {
        DownloadItem item;
        item.Url = QString::fromUtf8(row.url);
        item.Name = item.Url.section(QLatin1Char('/'), -1);
        item.Type = QString::fromUtf8(row.type);
        item.Folder = m_files->path();
        item.State = row.state;
        QVERIFY(m_window->engine().list().addItem(item));
    }
}

// The caption, and the controls with the captions and names by which users,
// screen readers and tools find them.
// clang-format off
void TestDownloadWindow::caption_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("start") << "Command4" << "开始下载";
    QTest::newRow("stop") << "Command31" << "停止下载";
    QTest::newRow("switch") << "Command26" << "切换";
    QTest::newRow("login") << "Command1" << "网页登录";
    QTest::newRow("automatic start") << "Check4" << "当有待下载项时，自动启动下载";
    QTest::newRow("error stop") << "Check5" << "有5个以上下载出错或者网页文件，就停止下载";
    QTest::newRow("automatic re-download") << "Check3" << "自动重新下载：";
    QTest::newRow("sound") << "Check6" << "声音提示";
    QTest::newRow("skip") << "Option1" << "跳过";
    QTest::newRow("overwrite") << "Option2" << "覆盖";
    QTest::newRow("rename") << "Option3" << "重命名";
}
// clang-format on

void TestDownloadWindow::caption()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    openWindow();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("文件下载-Paperdrift"));
    QVERIFY(IsWindowLoaded(QStringLiteral("FFILEDOWNLOAD")));
    auto *button = m_window->findChild<QAbstractButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->accessibleName(), caption);
    QVERIFY(button->focusPolicy() & Qt::TabFocus);
}

// clang-format off
void TestDownloadWindow::loadReadsSettings_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("threads");
    QTest::addColumn<QString>("policy");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("threadBox");
    QTest::addColumn<bool>("threadBoxEnabled");
    QTest::addColumn<QString>("option");
    QTest::newRow("first run") << "" << "" << "" << "下载方式：2" << "3" << true << "Option3";
    QTest::newRow("method one: one worker, box off") << "1" << "4" << "跳过" << "下载方式：1" << "1" << false
                                                      << "Option1";
    QTest::newRow("method two with six workers") << "2" << "5" << "覆盖" << "下载方式：2" << "6" << true << "Option2";
    QTest::newRow("thread position out of range") << "2" << "9" << " 覆盖 " << "下载方式：2" << "1" << true
                                                   << "Option2";
    QTest::newRow("unknown rule renames") << "2" << "0" << "随便" << "下载方式：2" << "1" << true << "Option3";
}
// clang-format on

void TestDownloadWindow::loadReadsSettings()
{
    QFETCH(QString, method);
    QFETCH(QString, threads);
    QFETCH(QString, policy);
    QFETCH(QString, label);
    QFETCH(QString, threadBox);
    QFETCH(bool, threadBoxEnabled);
    QFETCH(QString, option);
    if (!method.isEmpty()) {
        m_temp->store().SaveSetting("Paperdrift", "设置", "下载方式", method);
        m_temp->store().SaveSetting("Paperdrift", "下载", "线程", threads);
        m_temp->store().SaveSetting("Paperdrift", "专利下载", "重复文件名设置", policy);
    }
    openWindow();
    QCOMPARE(control<QLabel>("Label7")->text(), label);
    QCOMPARE(control<QComboBox>("Combo1")->currentText(), threadBox);
    QCOMPARE(control<QComboBox>("Combo1")->isEnabled(), threadBoxEnabled);
    QVERIFY(control<QRadioButton>(option.toUtf8().constData())->isChecked());
    QCOMPARE(m_window->engine().options().threadCount, threadBox.toInt());
    QCOMPARE(sameNamePolicyCaption(m_window->engine().options().sameNamePolicy),
             control<QRadioButton>(option.toUtf8().constData())->text());
    // Designed state of what is not stored.
    QCOMPARE(control<QComboBox>("Combo2")->currentText(), QStringLiteral("0"));
    QCOMPARE(control<QComboBox>("Combo2")->count(), 601);
    QCOMPARE(control<QComboBox>("Combo4")->currentText(), QStringLiteral("出错项"));
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("0条"));
    QCOMPARE(control<QTreeView>("ListView3")->toolTip(), QStringLiteral("双击鼠标：下载当前项或者打开文件"));
    QVERIFY(!control<QWidget>("Shape1")->isVisible());
}

// Every control of the strip writes the engine's options record.
void TestDownloadWindow::stripBindsEngineOptions()
{
    openWindow();
    const EngineOptions &options = m_window->engine().options();
    control<QComboBox>("Combo1")->setCurrentIndex(5);
    control<QComboBox>("Combo2")->setCurrentText(QStringLiteral("30"));
    control<QComboBox>("Combo4")->setCurrentIndex(2);
    for (const char *check : {"Check4", "Check5", "Check3", "Check6"})
        QTest::mouseClick(control<QCheckBox>(check), Qt::LeftButton);
    QTest::mouseClick(control<QRadioButton>("Option2"), Qt::LeftButton);
    action("menu自动定位到下载项")->trigger();

    QCOMPARE(options.threadCount, 6);
    QCOMPARE(options.intervalSeconds, 30);
    QCOMPARE(options.autoRetryChoice, AutoRetryChoice::Both);
    QVERIFY(options.autoStart && options.errorStop && options.autoRetry && options.soundOn);
    QCOMPARE(options.sameNamePolicy, SameNamePolicy::Overwrite);
    QVERIFY(options.followCurrent);

    QTest::mouseClick(control<QPushButton>("Command4"), Qt::LeftButton);
    QVERIFY(m_window->engine().downloadingOn());
    QTest::mouseClick(control<QPushButton>("Command31"), Qt::LeftButton);
    QVERIFY(!m_window->engine().downloadingOn());
}

// What the engine changes itself shows on the strip: the stop command
// unticks the automatic start and re-download, the method switch sets one
// worker and the label, the supervisor shows the indicator and the summary.
void TestDownloadWindow::engineChangesShowOnStrip()
{
    openWindow();
    control<QCheckBox>("Check4")->setChecked(true);
    control<QCheckBox>("Check3")->setChecked(true);
    control<QCheckBox>("Check6")->setChecked(true);
    control<QComboBox>("Combo1")->setCurrentIndex(3);
    QTest::mouseClick(control<QPushButton>("Command31"), Qt::LeftButton);
    QVERIFY(!control<QCheckBox>("Check4")->isChecked());
    QVERIFY(!control<QCheckBox>("Check3")->isChecked());
    QVERIFY(control<QCheckBox>("Check6")->isChecked());

    QTest::mouseClick(control<QPushButton>("Command26"), Qt::LeftButton);
    QCOMPARE(control<QLabel>("Label7")->text(), QStringLiteral("下载方式：1"));
    QCOMPARE(control<QComboBox>("Combo1")->currentText(), QStringLiteral("1"));
    QVERIFY(!control<QComboBox>("Combo1")->isEnabled());
    QTest::mouseClick(control<QPushButton>("Command26"), Qt::LeftButton);
    QCOMPARE(control<QLabel>("Label7")->text(), QStringLiteral("下载方式：2"));
    QVERIFY(control<QComboBox>("Combo1")->isEnabled());

    addRows({{"http://127.0.0.1:1/a.pdf", Waiting}, {"http://127.0.0.1:1/b.pdf", Failed}});
    m_window->engine().start();
    m_window->engine().SupervisorTick();
    QVERIFY(control<QWidget>("Shape1")->isVisible());
    QVERIFY(!action("menu下载全部")->isEnabled());
    QCOMPARE(m_window->panel4->text(), QStringLiteral("总数:2 正在下载:0 等待:1 已完成:0 失败:1"));
}

// clang-format off
void TestDownloadWindow::closeAsks_data()
{
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<bool>("downloadingOn");
    QTest::addColumn<bool>("asks");
    QTest::newRow("empty list") << QList<Row>() << false << false;
    QTest::newRow("every row ended") << QList<Row>{{"http://h/a", Finished}, {"http://h/b", Failed}} << false
                                     << false;
    QTest::newRow("only waiting rows, downloading off") << QList<Row>{{"http://h/a", Waiting}} << false << true;
    QTest::newRow("one waiting among ended rows")
        << QList<Row>{{"http://h/a", Finished}, {"http://h/b", Waiting}} << false << true;
    QTest::newRow("downloading switched on over an ended list") << QList<Row>{{"http://h/a", Finished}} << true
                                                                << true;
}
// clang-format on

// A busy window asks before it closes; Yes closes it, and an idle window
// closes without a question.
void TestDownloadWindow::closeAsks()
{
    QFETCH(QList<Row>, rows);
    QFETCH(bool, downloadingOn);
    QFETCH(bool, asks);
    openWindow();
    addRows(rows);
    if (downloadingOn)
        m_window->engine().start();
    m_prompts.answers.enqueue(PromptAnswer::Yes);
    QVERIFY(closeWindow());
    QCOMPARE(m_prompts.records.size(), asks ? 1 : 0);
    if (asks) {
        const PromptRecorder::Record &question = m_prompts.records.first();
        QCOMPARE(question.text, QStringLiteral("正在下载文件或者下载没有完成，要强制关闭窗口吗？"));
        QCOMPARE(question.icon, PromptIcon::Question);
        QCOMPARE(question.buttons, PromptButtons::YesNo);
    }
    QVERIFY(!IsWindowLoaded(QStringLiteral("fFileDownload")));
    // After a confirmed close the thread count and the layout are stored.
    QCOMPARE(stored("下载", "线程"), QStringLiteral("2"));
    QVERIFY(stored("fFileDownload", "分辨率") != QLatin1String("absent"));
}

void TestDownloadWindow::answerNoKeepsWindowButStoresRuleAndMethod()
{
    openWindow();
    addRows({{"http://h/a", Waiting}});
    QTest::mouseClick(control<QRadioButton>("Option1"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>("Command26"), Qt::LeftButton); // method one
    m_prompts.answers.enqueue(PromptAnswer::No);
    QVERIFY(!closeWindow());
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_prompts.records.size(), 1);
    QCOMPARE(stored("专利下载", "重复文件名设置"), QStringLiteral("跳过"));
    QCOMPARE(stored("设置", "下载方式"), QStringLiteral("1"));
    QCOMPARE(stored("下载", "线程"), QStringLiteral("absent"));
    QCOMPARE(stored("fFileDownload", "分辨率"), QStringLiteral("absent"));
    QCOMPARE(m_window->engine().list().count(), 1);
}

// The next window loads afresh: an empty list, the options unticked, the
// interval at "0"; only the settings carry over.
void TestDownloadWindow::closedWindowReopensEmpty()
{
    openWindow();
    addRows({{"http://h/a", Finished}});
    for (const char *check : {"Check4", "Check5", "Check3", "Check6"})
        control<QCheckBox>(check)->setChecked(true);
    control<QComboBox>("Combo2")->setCurrentIndex(10);
    control<QComboBox>("Combo4")->setCurrentIndex(1);
    control<QComboBox>("Combo1")->setCurrentIndex(4);
    control<QRadioButton>("Option2")->setChecked(true);
    action("menu自动定位到下载项")->trigger();
    QVERIFY(closeWindow());

    openWindow();
    QCOMPARE(m_window->engine().list().count(), 0);
    for (const char *check : {"Check4", "Check5", "Check3", "Check6"})
        QVERIFY2(!control<QCheckBox>(check)->isChecked(), check);
    QCOMPARE(control<QComboBox>("Combo2")->currentText(), QStringLiteral("0"));
    QCOMPARE(control<QComboBox>("Combo4")->currentIndex(), 0);
    QVERIFY(!action("menu自动定位到下载项")->isChecked());
    QCOMPARE(control<QComboBox>("Combo1")->currentText(), QStringLiteral("5"));
    QVERIFY(control<QRadioButton>("Option2")->isChecked());
    const EngineOptions &options = m_window->engine().options();
    QVERIFY(!options.autoStart && !options.autoRetry && !options.errorStop && !options.soundOn);
    QCOMPARE(options.intervalSeconds, 0);
}

// clang-format off
void TestDownloadWindow::rightClickRules_data()
{
    QTest::addColumn<bool>("downloadingOn");
    QTest::addColumn<bool>("running");
    QTest::newRow("idle") << false << false;
    QTest::newRow("downloading switched on") << true << false;
    QTest::newRow("a transfer still running") << false << true;
}
// clang-format on

// A right-click sets the list menu's entries by the state before it pops up;
// the menu bar then shows them as last set.
void TestDownloadWindow::rightClickRules()
{
    QFETCH(bool, downloadingOn);
    QFETCH(bool, running);
    openWindow();
    addRows({{"http://h/a", Waiting}});
    if (downloadingOn)
        m_window->engine().start();
    m_window->engine().values().DownloadRunning = running;

    QWidget *viewport = control<QTreeView>("ListView3")->viewport();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(20, 5), viewport->mapToGlobal(QPoint(20, 5)));
    QApplication::sendEvent(viewport, &rightClick);
    QMenu *menu = control<QMenu>("menu下载");
    QTRY_VERIFY(menu->isVisible());
    menu->close();

    const bool active = downloadingOn || running;
    QCOMPARE(action("menu清除")->isEnabled(), !active);
    QCOMPARE(action("menu清空")->isEnabled(), !active);
    QCOMPARE(action("menu全选专利列表")->isEnabled(), !active);
    QCOMPARE(action("menu停止下载")->isEnabled(), active);

    m_window->engine().stop();
    QCOMPARE(action("menu停止下载")->isEnabled(), active); // kept until the next right-click
}

// The scheduler's entries of the list menu.
void TestDownloadWindow::schedulerMenuEntries()
{
    openWindow();
    addRows({{"http://h/a", Waiting}, {"http://h/b", Waiting}, {"http://h/c", Finished}});
    action("menu下载全部")->trigger();
    QVERIFY(m_window->engine().downloadingOn());
    action("menu停止下载")->trigger();
    QVERIFY(!m_window->engine().downloadingOn());

    auto *list = control<QTreeView>("ListView3");
    list->selectionModel()->select(list->model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    action("menu取消下载选中项")->trigger();
    QCOMPARE(m_window->engine().list().at(0).State, Waiting);
    QCOMPARE(m_window->engine().list().at(1).State, Failed);

    m_window->engine().values().DownloadRunning = true;
    action("menu取消下载选中项")->trigger();
    QCOMPARE(m_prompts.messageTexts(), QStringList{QStringLiteral("停止下载后方可设置！")});
    m_window->engine().values().DownloadRunning = false;

    action("menu关闭本下载窗口")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_window.isNull()); // the list's waiting row asked, and the default answer is Yes
}

void TestDownloadWindow::selectionAndCopyName()
{
    openWindow();
    addRows({{"http://h/first.pdf", Waiting}, {"http://h/second.pdf", Waiting}});
    auto *list = control<QTreeView>("ListView3");
    action("menu全选专利列表")->trigger();
    QCOMPARE(m_window->selectedRows(), (QList<int>{0, 1}));
    action("menu全不选")->trigger();
    QVERIFY(m_window->selectedRows().isEmpty());

    QApplication::clipboard()->setText(QStringLiteral("before"));
    action("menu复制名称")->trigger(); // no current row: nothing is copied
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
    list->setCurrentIndex(list->model()->index(1, 0));
    action("menu复制名称")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("second.pdf"));
}

// clang-format off
void TestDownloadWindow::settingsDialogUpdatesMethod_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("threadBoxEnabled");
    QTest::addColumn<QString>("threadBox");
    QTest::newRow("method one") << "Option1" << "下载方式：1" << false << "4";
    QTest::newRow("method two: one worker") << "Option2" << "下载方式：2" << true << "1";
}
// clang-format on

// "设置" opens the options dialog modally; its OK updates the method label
// and the thread-count box at once.
void TestDownloadWindow::settingsDialogUpdatesMethod()
{
    QFETCH(QString, option);
    QFETCH(QString, label);
    QFETCH(bool, threadBoxEnabled);
    QFETCH(QString, threadBox);
    openWindow();
    control<QComboBox>("Combo1")->setCurrentIndex(3);
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<OptionsDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->findChild<QRadioButton *>(option)->setChecked(true);
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        answered = true;
    });
    action("menu设置")->trigger();
    QVERIFY(answered);
    QCOMPARE(control<QLabel>("Label7")->text(), label);
    QCOMPARE(control<QComboBox>("Combo1")->isEnabled(), threadBoxEnabled);
    QCOMPARE(control<QComboBox>("Combo1")->currentText(), threadBox);
    QCOMPARE(m_window->engine().options().threadCount, threadBox.toInt());
    QCOMPARE(stored("设置", "下载方式"), label.right(1));
}

void TestDownloadWindow::browserCacheEntry()
{
    openWindow();
    action("menu清空IE浏览器缓存")->trigger();
    QCOMPARE(m_prompts.records.size(), 1);
    QCOMPARE(m_prompts.records.first().text, QStringLiteral("IE缓存清空完毕！"));
    QCOMPARE(m_prompts.records.first().icon, PromptIcon::Information);
}

// The list commands reached through the list menu: a remove re-tests the
// position and updates the row count, "清空" refuses while downloading, a
// reset makes a failed row wait again.
void TestDownloadWindow::listCommandsThroughMenus()
{
    openWindow();
    addRows({{"http://h/a", Failed}, {"http://h/b", Failed}, {"http://h/c", Finished}, {"http://h/d", Failed}});
    auto *list = control<QTreeView>("ListView3");
    list->selectionModel()->select(list->model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    action("menu重新下载选中项")->trigger();
    QCOMPARE(m_window->engine().list().at(3).State, Waiting);
    QCOMPARE(m_window->engine().list().at(0).State, Failed);
    action("menu清除全部出错项")->trigger();
    QCOMPARE(m_window->engine().list().count(), 2);
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("2条"));

    m_window->engine().start();
    action("menu清空")->trigger();
    QCOMPARE(m_prompts.messageTexts(), QStringList{QStringLiteral("停止下载以后，才能执行此操作！")});
    QCOMPARE(m_window->engine().list().count(), 2);
    m_window->engine().stop();
    m_prompts.answers.enqueue(PromptAnswer::Yes);
    action("menu清空")->trigger();
    QCOMPARE(m_window->engine().list().count(), 0);
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("0条"));
}

// A click on a column header sorts by it, each click flipping the direction;
// while downloading it is refused.
void TestDownloadWindow::headerClickSorts()
{
    openWindow();
    addRows({{"http://h/a", Finished}, {"http://h/b", Finished}, {"http://h/c", Finished}});
    const QStringList sizes{"1000", "999", "5"};
    for (int row = 0; row < sizes.size(); ++row)
        m_window->engine().list().updateItem(row, [&](DownloadItem &item) { item.Size = SizeFromText(sizes[row]); });
    auto *list = control<QTreeView>("ListView3");
    const auto sizesShown = [&] {
        QStringList shown;
        for (int row = 0; row < 3; ++row)
            shown << list->model()->index(row, DownloadList::SizeColumn).data().toString();
        return shown;
    };
    QHeaderView *header = list->header();
    const QPoint sizeHeader(header->sectionViewportPosition(DownloadList::SizeColumn) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
    QCOMPARE(sizesShown(), (QStringList{"1000", "999", "5"})); // the first click sorts descending
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
    QCOMPARE(sizesShown(), (QStringList{"5", "999", "1000"}));

    m_window->engine().start();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, sizeHeader);
    QCOMPARE(m_prompts.messageTexts(), QStringList{QStringLiteral("停止下载后方可排序！")});
    QCOMPARE(sizesShown(), (QStringList{"5", "999", "1000"}));
}

// The file commands: a click shows the row's file in panel 2 and a click on
// the panel opens it as a file address; "打开下载文件" and the export reach
// the shell and the save dialog; a double click on a failed row makes it
// wait again.
void TestDownloadWindow::fileCommandsThroughMenusAndMouse()
{
    openWindow();
    addRows({{"http://h/done.pdf", Finished}, {"http://h/failed.pdf", Failed}});
    writeFile(0, "%PDF-1.4 done");
    const QString path = ItemFilePath(m_window->engine().list().at(0));
    auto *list = control<QTreeView>("ListView3");
    const QRect first = list->visualRect(list->model()->index(0, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
    QCOMPARE(m_window->panel2->text(), path);
    QTest::mouseClick(m_window->panel2, Qt::LeftButton);
    QCOMPARE(m_shell.calls,
             (QList<ShellRecorder::Call>{{ShellRecorder::Kind::OpenUrl, QUrl::fromLocalFile(path).toString()}}));

    action("menu打开下载文件")->trigger();
    QCOMPARE(m_shell.calls.last(), (ShellRecorder::Call{ShellRecorder::Kind::OpenFile, path}));

    const QString exported = m_files->filePath(QStringLiteral("names.txt"));
    m_prompts.paths.enqueue(exported);
    action("menu导出未完成项名称")->trigger();
    QFile names(exported);
    QVERIFY(names.open(QIODevice::ReadOnly));
    QCOMPARE(names.readAll(), QByteArray("failed.pdf\r\n"));

    const QRect second = list->visualRect(list->model()->index(1, 0));
    // A double click as the mouse makes it: a first click, then the second
    // press that the system reports as a double click.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(m_window->engine().list().at(1).State, Waiting);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(m_window->panel2->text(), QString()); // no file there
}

// The tools menu's file commands: check files, check and correct types, tell
// the type of a file the user picks.
void TestDownloadWindow::toolsMenuFileCommands()
{
    openWindow();
    addRows({{"http://h/here.pdf", Finished}, {"http://h/gone.pdf", Finished}});
    writeFile(0, "%PDF-1.4 here");
    action("menu检查文件是否存在")->trigger();
    QCOMPARE(ProgressText(m_window->engine().list().at(0).Progress), QString());
    QCOMPARE(ProgressText(m_window->engine().list().at(1).Progress), QStringLiteral("不存在"));

    action("menu检查并纠正磁盘文件类型")->trigger();
    QCOMPARE(m_prompts.messageTexts().last(), QStringLiteral("纠正文件类型：0个."));

    m_prompts.paths.enqueue(ItemFilePath(m_window->engine().list().at(0)));
    action("menu打开文件判断类型")->trigger();
    QCOMPARE(m_prompts.messageTexts().last(), QStringLiteral("文件类型为：pdf"));
}

void TestDownloadWindow::urlReplaceThroughMenu()
{
    openWindow();
    addRows({{"http://OLD.example/a.pdf", Waiting}});
    bool replaced = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->objectName() == QLatin1String("UrlReplace"));
        dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("old"));
        dialog->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("new"));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
        replaced = true;
    });
    action("menu批量替换网址")->trigger();
    QVERIFY(replaced);
    QCOMPARE(m_window->engine().list().at(0).Url, QStringLiteral("http://new.example/a.pdf"));
    QCOMPARE(m_prompts.messageTexts().last(), QStringLiteral("全部网址替换完成！"));
}

// "网页登录" shows the login panel exactly over the list, also after a resize.
void TestDownloadWindow::loginPanelCoversList()
{
    openWindow();
    m_window->showNormal();
    m_window->resize(900, 600);
    auto *panel = control<QWidget>("PicWebBK");
    QVERIFY(!panel->isVisible());
    QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->geometry(), control<QTreeView>("ListView3")->geometry());
    m_window->resize(1000, 700);
    QTRY_COMPARE(m_window->size(), QSize(1000, 700));
    QCOMPARE(panel->geometry(), control<QTreeView>("ListView3")->geometry());
}

// clang-format off
void TestDownloadWindow::progressCellsDrawBars_data()
{
    QTest::addColumn<QString>("progress");
    QTest::addColumn<bool>("barAtQuarter");
    QTest::addColumn<bool>("barAtThreeQuarters");
    QTest::newRow("half") << "50%" << true << false;
    QTest::newRow("complete") << "100%" << true << true;
    QTest::newRow("nothing yet") << "0%" << false << false;
    QTest::newRow("a word, no bar") << "已存在，跳过" << false << false;
}
// clang-format on

// A percentage in "百分比" is drawn as a bar as long as the share behind the
// cell's own text; the cell's text stays as the engine wrote it.
void TestDownloadWindow::progressCellsDrawBars()
{
    QFETCH(QString, progress);
    QFETCH(bool, barAtQuarter);
    QFETCH(bool, barAtThreeQuarters);
    openWindow();
    addRows({{"http://h/a", Downloading}});
    m_window->engine().list().updateItem(0, [&](DownloadItem &item) { item.Progress = ProgressFromText(progress); });
    auto *list = control<QTreeView>("ListView3");
    const QModelIndex cell = list->model()->index(0, DownloadList::ProgressColumn);
    QCOMPARE(cell.data().toString(), progress);

    QImage image(200, DownloadListDelegate::kRowHeight, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.rect = image.rect();
    option.state &= ~QStyle::State_Selected;
    list->itemDelegate()->paint(&painter, option, cell);
    painter.end();
    const QColor bar = DownloadListDelegate::kBarColour;
    // Sample at the bottom of the bar, below the text.
    const int y = image.height() - 3;
    QCOMPARE(image.pixelColor(50, y) == bar, barAtQuarter);
    QCOMPARE(image.pixelColor(150, y) == bar, barAtThreeQuarters);
}

void TestDownloadWindow::statePicturesDiffer()
{
    DownloadListDelegate delegate;
    QList<QImage> pictures;
    for (int state = 1; state <= 4; ++state) {
        const QIcon icon = delegate.statePicture(state);
        QVERIFY(!icon.isNull());
        pictures.append(icon.pixmap(16, 16).toImage());
    }
    for (int a = 0; a < pictures.size(); ++a)
        for (int b = a + 1; b < pictures.size(); ++b)
            QVERIFY(pictures[a] != pictures[b]);
    QVERIFY(delegate.statePicture(0).isNull());
    QVERIFY(delegate.statePicture(5).isNull());
}

// The last status panel shows the bytes that arrived per second, once a
// supervisor tick, and is blank once nothing downloads.
void TestDownloadWindow::speedPanel()
{
    openWindow();
    DownloadEngine &engine = m_window->engine();
    addRows({{"http://h/a", Downloading}, {"http://h/b", Downloading}});
    const auto received = [&](int row, const char *bytes, ItemState state = Downloading) {
        engine.list().updateItem(row, [&](DownloadItem &item) {
            item.Downloaded = DownloadedFromText(QString::fromLatin1(bytes));
            item.State = state;
        });
    };
    received(0, "0");
    received(1, "0");
    engine.SupervisorTick();
    QCOMPARE(m_window->speedPanel->text(), QStringLiteral("0 B/s"));
    received(0, "1048576");
    received(1, "209715");
    m_clock.advance(1);
    engine.SupervisorTick();
    QCOMPARE(m_window->speedPanel->text(), QStringLiteral("1.2 MB/s"));
    received(0, "1048576", Finished);
    received(1, "209715", Failed);
    m_clock.advance(1);
    engine.SupervisorTick();
    QCOMPARE(m_window->speedPanel->text(), QString());
}

// The list lies below the strip, as wide, down to 9 pixels (140 twips) above
// the status bar; a window too low for the list leaves it where it was.
void TestDownloadWindow::resizePlacesListBelowStrip()
{
    openWindow();
    m_window->showNormal();
    m_window->resize(900, 600);
    QTRY_COMPARE(m_window->size(), QSize(900, 600));
    auto *strip = control<QWidget>("Picture3");
    auto *list = control<QTreeView>("ListView3");
    QCOMPARE(strip->geometry().topLeft(), QPoint(1, 1));
    QCOMPARE(strip->width(), 880);
    QCOMPARE(list->geometry().top(), strip->geometry().bottom() + 1);
    QCOMPARE(list->width(), 880);
    const int bottomGap = m_window->centralWidget()->height() - list->geometry().bottom() - 1;
    QCOMPARE(bottomGap, 9);

    const QRect before = list->geometry();
    m_window->resize(900, strip->height() + 40);
    QTRY_COMPARE(m_window->height(), strip->height() + 40);
    QCOMPARE(list->geometry(), before);
}

void TestDownloadWindow::activationShowsRowCount()
{
    openWindow();
    addRows({{"http://h/a", Waiting}, {"http://h/b", Waiting}, {"http://h/c", Failed}});
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("0条"));
    auto *other = new QWidget;
    other->show();
    other->activateWindow();
    QTRY_VERIFY(other->isActiveWindow());
    m_window->activateWindow();
    QTRY_COMPARE(control<QLabel>("Label1")->text(), QStringLiteral("3条"));
    delete other;
}

int main(int argc, char *argv[])
{
    // The login panel's browser needs the shared contexts before the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    TestDownloadWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_download_window.moc"
