#include "platform/ProgramFolder.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsProcedures.h"
#include "settings/StoredSettings.h"
#include "tests/support/TempSettings.h"

#include <QDir>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void firstRunReadsDefaults();
    void methodOneSavesOneWorker();
    void sameNameOption_data();
    void sameNameOption();
    void threadPosition_data();
    void threadPosition();
    void fractionalSizeLimitRoundTrips();
    void nonNumberReadsDefault_data();
    void nonNumberReadsDefault();
    void closeWritesBeforeAndAfterConfirmation();
    void optionsWriteKeepsRecordInStep();
};

void TestSettings::firstRunReadsDefaults()
{
    TempSettings temp;
    StoredSettings stored(temp.store());
    SessionSettings session;
    const DownloadWindowSettings shown = ReadDownloadWindowSettings(stored, session);
    ReadSearchWindowSettings(stored, session);

    QCOMPARE(session.DownloadMethod, DownloadMethod::Parallel);
    QCOMPARE(shown.methodLabel, QString("下载方式：2"));
    QVERIFY(shown.threadBoxEnabled);
    QCOMPARE(shown.threadPosition, 2); // three workers
    QCOMPARE(shown.selectedPolicy, SameNamePolicy::Rename);
    QCOMPARE(session.DuplicateNamePolicy, SameNamePolicy::Rename);
    QCOMPARE(session.ProxyEnabled, qint16(0));
    QVERIFY(session.ProxyAddress.isEmpty());
    QVERIFY(session.ProxyPort.isEmpty());
    QCOMPARE(session.MaxFileSizeMB, 10.0);
    QCOMPARE(session.AskSaveFolder, qint16(1));
    QCOMPARE(stored.saveFolder(), QDir::toNativeSeparators(QDir::rootPath() + "12345"));
    QCOMPARE(stored.lastOpenedFolder(), ProgramFolder());
    QCOMPARE(stored.layoutResolution("fFileDownload"), QString("000"));
    QCOMPARE(stored.layoutWidth("fFileDownload"), 15000);
    QCOMPARE(stored.copyMoveOpIndex(), 4);
    QCOMPARE(stored.copyMoveDestination(), ProgramFolder());
}

void TestSettings::methodOneSavesOneWorker()
{
    TempSettings temp;
    StoredSettings stored(temp.store());
    stored.saveDownloadMethod(DownloadMethod::Single);
    stored.saveThreadPosition(4);

    SessionSettings session;
    DownloadWindowSettings shown = ReadDownloadWindowSettings(stored, session);
    QVERIFY(!shown.threadBoxEnabled);
    QCOMPARE(shown.threadPosition, 0);

    // Closing saves the box as shown; the next run in method two starts with one worker.
    SaveDownloadWindowSettingsBeforeClose(stored, session, shown.selectedPolicy);
    SaveDownloadWindowThreadPosition(stored, shown.threadPosition);
    QCOMPARE(temp.store().GetSetting("Paperdrift", "下载", "线程", "x"), QString("0"));

    stored.saveDownloadMethod(DownloadMethod::Parallel);
    temp.reopen();
    StoredSettings next(temp.store());
    shown = ReadDownloadWindowSettings(next, session);
    QVERIFY(shown.threadBoxEnabled);
    QCOMPARE(shown.threadPosition, 0);
}

// clang-format off
void TestSettings::sameNameOption_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("selected");
    QTest::newRow("skip") << "跳过" << "跳过";
    QTest::newRow("overwrite with blanks") << "  覆盖 " << "覆盖";
    QTest::newRow("rename") << "重命名" << "重命名";
    QTest::newRow("empty text") << "" << "重命名";
    QTest::newRow("unknown text") << "skip" << "重命名";
}
// clang-format on

void TestSettings::sameNameOption()
{
    QFETCH(QString, stored);
    QFETCH(QString, selected);
    TempSettings temp;
    temp.store().SaveSetting("Paperdrift", "专利下载", "重复文件名设置", stored);
    StoredSettings settings(temp.store());
    SessionSettings session;
    QCOMPARE(sameNamePolicyCaption(ReadDownloadWindowSettings(settings, session).selectedPolicy), selected);
    QCOMPARE(sameNamePolicyCaption(session.DuplicateNamePolicy), selected);
}

// clang-format off
void TestSettings::threadPosition_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("position");
    QTest::newRow("lowest") << "0" << 0;
    QTest::newRow("highest") << "5" << 5;
    QTest::newRow("above the box") << "6" << 0;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("not a number reads the default") << "viele" << 2;
}
// clang-format on

void TestSettings::threadPosition()
{
    QFETCH(QString, stored);
    QFETCH(int, position);
    TempSettings temp;
    temp.store().SaveSetting("Paperdrift", "下载", "线程", stored);
    StoredSettings settings(temp.store());
    SessionSettings session;
    QCOMPARE(ReadDownloadWindowSettings(settings, session).threadPosition, position);
}

void TestSettings::fractionalSizeLimitRoundTrips()
{
    TempSettings temp;
    StoredSettings stored(temp.store());
    stored.saveMaxFileSizeMB(2.5);
    QCOMPARE(temp.store().GetSetting("Paperdrift", "设置", "文件最大值", ""), QString("2.5"));
    temp.reopen();
    SessionSettings session;
    ReadStartupSettings(StoredSettings(temp.store()), session);
    QCOMPARE(session.MaxFileSizeMB, 2.5);
}

// clang-format off
void TestSettings::nonNumberReadsDefault_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::newRow("download method") << "设置" << "下载方式";
    QTest::newRow("proxy valid") << "设置" << "代理服务器有效";
    QTest::newRow("size limit") << "设置" << "文件最大值";
    QTest::newRow("ask for folder") << "设置" << "提取网页信息时提示下载保存路径";
    QTest::newRow("layout width") << "fFileDownload" << "宽";
}
// clang-format on

void TestSettings::nonNumberReadsDefault()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    TempSettings temp;
    temp.store().SaveSetting("Paperdrift", section, key, "abc");
    StoredSettings stored(temp.store());
    SessionSettings session;
    ReadDownloadWindowSettings(stored, session);
    ReadSearchWindowSettings(stored, session);
    QCOMPARE(session.DownloadMethod, DownloadMethod::Parallel);
    QCOMPARE(session.ProxyEnabled, qint16(0));
    QCOMPARE(session.MaxFileSizeMB, 10.0);
    QCOMPARE(session.AskSaveFolder, qint16(1));
    QCOMPARE(stored.layoutWidth("fFileDownload"), 15000);
}

void TestSettings::closeWritesBeforeAndAfterConfirmation()
{
    TempSettings temp;
    StoredSettings stored(temp.store());
    SessionSettings session;
    ReadDownloadWindowSettings(stored, session);
    session.DownloadMethod = DownloadMethod::Single;

    // The user is asked and keeps the window: only the early writes happened.
    SaveDownloadWindowSettingsBeforeClose(stored, session, SameNamePolicy::Skip);
    QCOMPARE(session.DuplicateNamePolicy, SameNamePolicy::Skip);
    QCOMPARE(temp.store().GetSetting("Paperdrift", "专利下载", "重复文件名设置", ""), QString("跳过"));
    QCOMPARE(temp.store().GetSetting("Paperdrift", "设置", "下载方式", ""), QString("1"));
    QCOMPARE(temp.store().GetSetting("Paperdrift", "下载", "线程", "absent"), QString("absent"));

    SaveDownloadWindowThreadPosition(stored, 3);
    QCOMPARE(temp.store().GetSetting("Paperdrift", "下载", "线程", "absent"), QString("3"));
}

void TestSettings::optionsWriteKeepsRecordInStep()
{
    TempSettings temp;
    StoredSettings stored(temp.store());
    SessionSettings session;
    OptionsValues values;
    values.downloadMethod = DownloadMethod::Single;
    values.proxyEnabled = 1;
    values.proxyAddress = " 127.0.0.1 ";
    values.proxyPort = " 8080 ";
    values.askSaveFolder = 0;
    values.maxFileSizeMB = 2.5;
    SaveOptions(stored, session, values);

    QCOMPARE(session.ProxyAddress, QString("127.0.0.1"));
    QCOMPARE(session.ProxyPort, QString("8080"));
    temp.reopen();
    SessionSettings next;
    StoredSettings reread(temp.store());
    ReadDownloadWindowSettings(reread, next);
    ReadSearchWindowSettings(reread, next);
    QCOMPARE(next.DownloadMethod, DownloadMethod::Single);
    QCOMPARE(next.ProxyEnabled, qint16(1));
    QCOMPARE(next.ProxyAddress, QString("127.0.0.1"));
    QCOMPARE(next.ProxyPort, QString("8080"));
    QCOMPARE(next.AskSaveFolder, qint16(0));
    QCOMPARE(next.MaxFileSizeMB, 2.5);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
