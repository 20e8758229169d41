#include "settings/LayoutRules.h"
#include "settings/OptionsRules.h"
#include "common/SessionSettings.h"
#include "settings/StoredSettings.h"
#include "tests/support/TempSettings.h"

#include <QtTest>

// The options dialog's opening and OK rules, and where a window opens from its
// stored layout.
class TestSettingsRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void openingForm_data();
    void openingForm();
    void confirmation_data();
    void confirmation();
    void placement_data();
    void placement();
};

// clang-format off
void TestSettingsRules::openingForm_data()
{
    QTest::addColumn<int>("recordMethod"); // 0: the download window has not loaded yet
    QTest::addColumn<int>("recordProxy");
    QTest::addColumn<QString>("recordAddress");
    QTest::addColumn<bool>("methodOne");
    QTest::addColumn<bool>("methodTwo");
    QTest::addColumn<bool>("proxyTicked");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");

    // The store holds method 1 with the proxy " proxy.local " : " 3128 ".
    QTest::newRow("record not loaded: from the store") << 0 << 0 << "" << true << false << true
                                                       << "proxy.local" << "3128";
    QTest::newRow("record loaded: from the record") << 2 << 0 << "other.local" << false << true << false
                                                    << "other.local" << "";
    QTest::newRow("method outside 1 and 2 chooses neither") << 3 << 1 << "" << false << false << true << ""
                                                            << "";
}
// clang-format on

void TestSettingsRules::openingForm()
{
    QFETCH(int, recordMethod);
    QFETCH(int, recordProxy);
    QFETCH(QString, recordAddress);
    TempSettings temp;
    StoredSettings stored(temp.store());
    stored.saveDownloadMethod(DownloadMethod::Single);
    stored.saveProxyEnabled(1);
    stored.saveProxyAddress(" proxy.local ");
    stored.saveProxyPort(" 3128 ");

    SessionSettings session;
    session.DownloadMethod = DownloadMethodFromNumber(recordMethod);
    session.ProxyEnabled = qint16(recordProxy);
    session.ProxyAddress = recordAddress;
    session.AskSaveFolder = 1;
    session.MaxFileSizeMB = 2.5;

    const OptionsForm form = OpeningOptionsForm(session, stored);
    QTEST(form.methodOne, "methodOne");
    QTEST(form.methodTwo, "methodTwo");
    QTEST(form.proxyTicked, "proxyTicked");
    QTEST(form.proxyAddress, "address");
    QTEST(form.proxyPort, "port");
    QVERIFY(form.askTicked);
    QCOMPARE(form.sizeText, QString("2.5"));
}

// clang-format off
void TestSettingsRules::confirmation_data()
{
    QTest::addColumn<bool>("methodOne");
    QTest::addColumn<bool>("methodTwo");
    QTest::addColumn<bool>("proxyTicked");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("storedAddress");
    QTest::addColumn<QString>("storedPort");
    QTest::addColumn<bool>("malformed");
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("sizeRefused");

    // The opening method is 2 and the limit in force 7.5.
    QTest::newRow("proxy on, empty address") << true << false << true << "" << "8080" << "10" << 1 << ""
                                             << "8080" << true << 10.0 << false;
    QTest::newRow("proxy on, blank address") << true << false << true << "   " << "8080" << "10" << 1 << ""
                                             << "8080" << true << 10.0 << false;
    QTest::newRow("proxy on, port with blanks") << false << true << true << " host " << " 8080 " << "10" << 2
                                                << "host" << "8080" << false << 10.0 << false;
    QTest::newRow("proxy on, port not a number") << false << true << true << "host" << "80a" << "10" << 2
                                                 << "host" << "80a" << true << 10.0 << false;
    QTest::newRow("proxy on, empty port") << false << true << true << "host" << "" << "10" << 2 << "host" << ""
                                          << true << 10.0 << false;
    QTest::newRow("proxy off, nothing filled") << false << true << false << "" << "" << "10" << 2 << "" << ""
                                               << false << 10.0 << false;
    QTest::newRow("neither method keeps the opening one") << false << false << false << "" << "" << "10" << 2
                                                          << "" << "" << false << 10.0 << false;
    QTest::newRow("size with a fraction") << false << true << false << "" << "" << "2.5" << 2 << "" << ""
                                          << false << 2.5 << false;
    QTest::newRow("size with blanks") << false << true << false << "" << "" << " 20 " << 2 << "" << "" << false
                                      << 20.0 << false;
    QTest::newRow("size not a number keeps the limit") << false << true << false << "" << "" << "zehn" << 2
                                                       << "" << "" << false << 7.5 << true;
    QTest::newRow("size half a number keeps the limit") << false << true << false << "" << "" << "12MB" << 2
                                                        << "" << "" << false << 7.5 << true;
    QTest::newRow("size empty keeps the limit") << false << true << false << "" << "" << "" << 2 << "" << ""
                                                << false << 7.5 << true;
    QTest::newRow("size 0 keeps the limit") << false << true << false << "" << "" << "0" << 2 << "" << ""
                                            << false << 7.5 << true;
    QTest::newRow("size -5 keeps the limit") << false << true << false << "" << "" << "-5" << 2 << "" << ""
                                             << false << 7.5 << true;
}
// clang-format on

void TestSettingsRules::confirmation()
{
    OptionsForm form;
    QFETCH(bool, methodOne);
    QFETCH(bool, methodTwo);
    QFETCH(bool, proxyTicked);
    QFETCH(QString, address);
    QFETCH(QString, port);
    QFETCH(QString, sizeText);
    form.methodOne = methodOne;
    form.methodTwo = methodTwo;
    form.proxyTicked = proxyTicked;
    form.proxyAddress = address;
    form.proxyPort = port;
    form.askTicked = true;
    form.sizeText = sizeText;

    const OptionsConfirmation confirmed = ConfirmOptionsForm(form, DownloadMethod::Parallel, 7.5);
    QTEST(DownloadMethodNumber(confirmed.values.downloadMethod), "method");
    QCOMPARE(confirmed.values.proxyEnabled, proxyTicked ? 1 : 0);
    QTEST(confirmed.values.proxyAddress, "storedAddress");
    QTEST(confirmed.values.proxyPort, "storedPort");
    QTEST(confirmed.proxyMalformed, "malformed");
    QCOMPARE(confirmed.values.askSaveFolder, 1);
    QTEST(confirmed.values.maxFileSizeMB, "size");
    QTEST(confirmed.sizeRefused, "sizeRefused");
}

// clang-format off
void TestSettingsRules::placement_data()
{
    QTest::addColumn<QString>("resolution"); // "-": nothing stored
    QTest::addColumn<QStringList>("topLeftWidthHeight"); // empty: nothing stored
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<QRect>("geometry");

    const QStringList normal{"1500", "3000", "9000", "6000"};
    QTest::newRow("first run") << "-" << QStringList() << true << QRect();
    QTest::newRow("closed maximised") << "0*0" << normal << true << QRect();
    QTest::newRow("another screen size") << "1024*768" << normal << true << QRect();
    QTest::newRow("same screen") << "1920*1080" << normal << false << QRect(200, 100, 600, 400);
    QTest::newRow("stored values absent read their defaults")
        << "1920*1080" << QStringList() << false << QRect(7, 7, 1000, 667);
    QTest::newRow("narrow, above and left of the screen")
        << "1920*1080" << QStringList{"-500", "-15", "2000", "2999"} << false << QRect(0, 0, 267, 200);
    QTest::newRow("at the lower limits") << "1920*1080" << QStringList{"0", "0", "4000", "3000"} << false
                                         << QRect(0, 0, 267, 200);
    QTest::newRow("no upper limit") << "1920*1080" << QStringList{"45000", "60000", "90000", "60000"} << false
                                    << QRect(4000, 3000, 6000, 4000);
    QTest::newRow("not numbers read the defaults") << "1920*1080" << QStringList{"x", "", "wide", "1e999"}
                                                   << false << QRect(7, 7, 1000, 667);
}
// clang-format on

void TestSettingsRules::placement()
{
    QFETCH(QString, resolution);
    QFETCH(QStringList, topLeftWidthHeight);
    TempSettings temp;
    const QString window = "fFileDownload";
    if (resolution != "-")
        temp.store().SaveSetting("Paperdrift", window, "分辨率", resolution);
    const QStringList keys{"上", "左", "宽", "高"};
    for (int i = 0; i < topLeftWidthHeight.size(); ++i)
        temp.store().SaveSetting("Paperdrift", window, keys.at(i), topLeftWidthHeight.at(i));

    const WindowPlacement placement =
        PlacementFromStore(StoredSettings(temp.store()), window, ScreenSizeTextFor(QSize(1920, 1080)));
    QTEST(placement.maximised, "maximised");
    if (!placement.maximised)
        QTEST(placement.geometry, "geometry");
}

QTEST_GUILESS_MAIN(TestSettingsRules)
#include "tst_settings_rules.moc"
