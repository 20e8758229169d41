#include "platform/SettingsStore.h"
#include "common/SessionSettings.h"
#include "settings/SettingsProcedures.h"
#include "settings/StoredSettings.h"
#include "settings_dialogs/OptionsDialog.h"
#include "widgets/LoadedWindows.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/TempSettings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

const QStringList kOptionKeys{
    "下载方式", "代理服务器有效", "代理服务器网址", "代理服务器端口", "提取网页信息时提示下载保存路径", "文件最大值"};

} // namespace

// The options dialog driven through its controls.
class TestOptionsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void opensWithTheRecord();
    void ok_data();
    void ok();
    void sizeLimitShownAgain();
    void closingStoresNothing_data();
    void closingStoresNothing();
    void announcesChosenMethod_data();
    void announcesChosenMethod();
    void unloadedRecordKeepsStoredValues();

private:
    // The dialog over the loaded record, shown as the program shows it.
    std::unique_ptr<OptionsDialog> openDialog()
    {
        auto dialog = std::make_unique<OptionsDialog>(*m_stored, m_session, m_prompts);
        dialog->show();
        return dialog;
    }
    QString storedValue(const QString &key) const
    {
        return m_temp->store().GetSetting("Paperdrift", "设置", key, "absent");
    }

    std::unique_ptr<TempSettings> m_temp;
    std::unique_ptr<StoredSettings> m_stored;
    SessionSettings m_session;
    PromptRecorder m_prompts;
};

void TestOptionsDialog::init()
{
    m_temp = std::make_unique<TempSettings>();
    m_stored = std::make_unique<StoredSettings>(m_temp->store());
    m_session = SessionSettings();
    m_prompts = PromptRecorder();
    // The record as the startup, search and download windows leave it.
    ReadStartupSettings(*m_stored, m_session);
    ReadSearchWindowSettings(*m_stored, m_session);
    ReadDownloadWindowSettings(*m_stored, m_session);
}

void TestOptionsDialog::opensWithTheRecord()
{
    m_session.DownloadMethod = DownloadMethod::Single;
    m_session.ProxyEnabled = 1;
    m_session.ProxyAddress = "proxy.local";
    m_session.ProxyPort = "3128";
    m_session.AskSaveFolder = 0;
    m_session.MaxFileSizeMB = 12.75;
    auto dialog = openDialog();

    QCOMPARE(dialog->windowTitle(), QString("设置-Paperdrift"));
    QVERIFY(dialog->findChild<QRadioButton *>("Option1")->isChecked());
    QVERIFY(!dialog->findChild<QRadioButton *>("Option2")->isChecked());
    QVERIFY(dialog->findChild<QCheckBox *>("Check1")->isChecked());
    QCOMPARE(dialog->findChild<QLineEdit *>("Text6")->text(), QString("proxy.local"));
    QCOMPARE(dialog->findChild<QLineEdit *>("Text8")->text(), QString("3128"));
    QVERIFY(!dialog->findChild<QCheckBox *>("Check2")->isChecked());
    QCOMPARE(dialog->findChild<QLineEdit *>("Text1")->text(), QString("12.75"));
    QCOMPARE(dialog->findChild<QLabel *>("Label2")->text(), QString("下载文件大小不超过：       MB"));
    QCOMPARE(dialog->findChild<QPushButton *>("Command1")->text(), QString("确定"));
    QCOMPARE(dialog->findChild<QPushButton *>("Command2")->text(), QString("关闭"));
    QVERIFY(IsWindowLoaded("FOPTION"));
    dialog.reset();
    QVERIFY(!IsWindowLoaded("fOption"));
}

// clang-format off
void TestOptionsDialog::ok_data()
{
    QTest::addColumn<bool>("proxy");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("stored"); // the six keys in their order

    QTest::newRow("proxy with an empty address: warned, saved, closed")
        << true << "" << "8080" << "10" << QStringList{"代理服务器网址或者端口格式不对！"}
        << QStringList{"2", "1", "", "8080", "1", "10"};
    QTest::newRow("port with blanks stored without them")
        << true << "proxy.local" << "  8080 " << "10" << QStringList()
        << QStringList{"2", "1", "proxy.local", "8080", "1", "10"};
    QTest::newRow("port not a number: warned")
        << true << " proxy.local " << "80 80" << "10" << QStringList{"代理服务器网址或者端口格式不对！"}
        << QStringList{"2", "1", "proxy.local", "80 80", "1", "10"};
    QTest::newRow("size box not a number keeps the limit")
        << false << "" << "" << "zehn" << QStringList{"下载文件大小必须是大于0的数字，仍使用原来的设置：10 MB"}
        << QStringList{"2", "0", "", "", "1", "10"};
    QTest::newRow("size 0 refused: the limit kept")
        << false << "" << "" << "0" << QStringList{"下载文件大小必须是大于0的数字，仍使用原来的设置：10 MB"}
        << QStringList{"2", "0", "", "", "1", "10"};
    QTest::newRow("size -5 refused: the limit kept")
        << false << "" << "" << "-5" << QStringList{"下载文件大小必须是大于0的数字，仍使用原来的设置：10 MB"}
        << QStringList{"2", "0", "", "", "1", "10"};
    QTest::newRow("both messages, in step order")
        << true << "" << "" << "" << QStringList{"代理服务器网址或者端口格式不对！",
                                                "下载文件大小必须是大于0的数字，仍使用原来的设置：10 MB"}
        << QStringList{"2", "1", "", "", "1", "10"};
}
// clang-format on

void TestOptionsDialog::ok()
{
    QFETCH(bool, proxy);
    QFETCH(QString, address);
    QFETCH(QString, port);
    QFETCH(QString, size);
    QFETCH(QStringList, stored);
    auto dialog = openDialog();
    dialog->findChild<QCheckBox *>("Check1")->setChecked(proxy);
    QTest::keyClicks(dialog->findChild<QLineEdit *>("Text6"), address);
    QTest::keyClicks(dialog->findChild<QLineEdit *>("Text8"), port);
    QLineEdit *sizeBox = dialog->findChild<QLineEdit *>("Text1");
    sizeBox->clear();
    QTest::keyClicks(sizeBox, size);
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);

    QTEST(m_prompts.messageTexts(), "messages");
    for (const PromptRecorder::Record &record : m_prompts.records)
        QCOMPARE(record.icon, PromptIcon::Error);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QStringList written;
    for (const QString &key : kOptionKeys)
        written << storedValue(key);
    QCOMPARE(written, stored);
    QCOMPARE(m_session.ProxyEnabled, qint16(proxy ? 1 : 0));
    QCOMPARE(m_session.ProxyAddress, stored.at(2));
    QCOMPARE(m_session.ProxyPort, stored.at(3));
    QCOMPARE(m_session.MaxFileSizeMB, stored.at(5).toDouble());
}

void TestOptionsDialog::sizeLimitShownAgain()
{
    auto dialog = openDialog();
    QLineEdit *sizeBox = dialog->findChild<QLineEdit *>("Text1");
    sizeBox->clear();
    QTest::keyClicks(sizeBox, "2.5");
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QCOMPARE(storedValue("文件最大值"), QString("2.5"));

    // The next run reads the limit from the store.
    m_temp->reopen();
    StoredSettings reread(m_temp->store());
    SessionSettings next;
    ReadStartupSettings(reread, next);
    QCOMPARE(next.MaxFileSizeMB, 2.5);
    OptionsDialog again(reread, next, m_prompts);
    QCOMPARE(again.findChild<QLineEdit *>("Text1")->text(), QString("2.5"));
}

// clang-format off
void TestOptionsDialog::closingStoresNothing_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("关闭") << false;
    QTest::newRow("close box") << true;
}
// clang-format on

void TestOptionsDialog::closingStoresNothing()
{
    QFETCH(bool, closeBox);
    const SessionSettings before = m_session;
    auto dialog = openDialog();
    QSignalSpy announced(dialog.get(), &OptionsDialog::methodConfirmed);
    dialog->findChild<QRadioButton *>("Option1")->setChecked(true);
    dialog->findChild<QCheckBox *>("Check1")->setChecked(true);
    QTest::keyClicks(dialog->findChild<QLineEdit *>("Text6"), "proxy.local");
    QTest::keyClicks(dialog->findChild<QLineEdit *>("Text8"), "3128");
    dialog->findChild<QCheckBox *>("Check2")->setChecked(false);
    QTest::keyClicks(dialog->findChild<QLineEdit *>("Text1"), "5");
    if (closeBox)
        dialog->close();
    else
        QTest::mouseClick(dialog->findChild<QPushButton *>("Command2"), Qt::LeftButton);

    QVERIFY(!dialog->isVisible());
    QVERIFY(m_prompts.records.isEmpty());
    QCOMPARE(announced.count(), 0);
    for (const QString &key : kOptionKeys)
        QCOMPARE(storedValue(key), QString("absent"));
    QCOMPARE(m_session.DownloadMethod, before.DownloadMethod);
    QCOMPARE(m_session.ProxyEnabled, before.ProxyEnabled);
    QCOMPARE(m_session.ProxyAddress, before.ProxyAddress);
    QCOMPARE(m_session.ProxyPort, before.ProxyPort);
    QCOMPARE(m_session.AskSaveFolder, before.AskSaveFolder);
    QCOMPARE(m_session.MaxFileSizeMB, before.MaxFileSizeMB);
}

// clang-format off
void TestOptionsDialog::announcesChosenMethod_data()
{
    QTest::addColumn<int>("openingMethod");
    QTest::addColumn<QString>("option"); // empty: nothing clicked
    QTest::addColumn<QVariantList>("announced");
    QTest::addColumn<QString>("stored");

    QTest::newRow("method two") << 1 << "Option2" << QVariantList{2} << "2";
    QTest::newRow("method one") << 2 << "Option1" << QVariantList{1} << "1";
    QTest::newRow("method unchanged is still announced") << 2 << "" << QVariantList{2} << "2";
    QTest::newRow("neither chosen: nothing announced") << 3 << "" << QVariantList() << "3";
}
// clang-format on

// The download window sets its method display from the announcement, which
// comes before anything is stored.
void TestOptionsDialog::announcesChosenMethod()
{
    QFETCH(int, openingMethod);
    QFETCH(QString, option);
    QFETCH(QVariantList, announced);
    m_session.DownloadMethod = DownloadMethodFromNumber(openingMethod);
    auto dialog = openDialog();
    QSignalSpy spy(dialog.get(), &OptionsDialog::methodConfirmed);
    QStringList storedWhenAnnounced;
    connect(dialog.get(), &OptionsDialog::methodConfirmed, this,
            [&] { storedWhenAnnounced << storedValue("下载方式"); });
    if (!option.isEmpty())
        QTest::mouseClick(dialog->findChild<QRadioButton *>(option), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);

    QVariantList arguments;
    for (const QList<QVariant> &emission : std::as_const(spy))
        arguments << DownloadMethodNumber(emission.value(0).value<DownloadMethod>());
    QCOMPARE(arguments, announced);
    for (const QString &value : std::as_const(storedWhenAnnounced))
        QCOMPARE(value, QString("absent"));
    QTEST(storedValue("下载方式"), "stored");
    QTEST(QString::number(DownloadMethodNumber(m_session.DownloadMethod)), "stored");
}

void TestOptionsDialog::unloadedRecordKeepsStoredValues()
{
    // Opened from the search window before the download window ever loaded:
    // the record has no method and no proxy yet.
    m_stored->saveDownloadMethod(DownloadMethod::Single);
    m_stored->saveProxyEnabled(1);
    m_stored->saveProxyAddress("proxy.local");
    m_stored->saveProxyPort("3128");
    m_session = SessionSettings();
    ReadStartupSettings(*m_stored, m_session);
    ReadSearchWindowSettings(*m_stored, m_session);

    auto dialog = openDialog();
    QVERIFY(dialog->findChild<QRadioButton *>("Option1")->isChecked());
    QVERIFY(dialog->findChild<QCheckBox *>("Check1")->isChecked());
    QCOMPARE(dialog->findChild<QLineEdit *>("Text6")->text(), QString("proxy.local"));
    QCOMPARE(dialog->findChild<QLineEdit *>("Text8")->text(), QString("3128"));
    QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);

    QStringList written;
    for (const QString &key : kOptionKeys)
        written << storedValue(key);
    QCOMPARE(written, (QStringList{"1", "1", "proxy.local", "3128", "1", "10"}));
    QCOMPARE(m_session.DownloadMethod, DownloadMethod::Single);
    QCOMPARE(m_session.ProxyAddress, QString("proxy.local"));
}

QTEST_MAIN(TestOptionsDialog)
#include "tst_options_dialog.moc"
