#include "platform/Registry.h"
#include "startup/BrowserEmulation.h"
#include "startup/StartupTexts.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void splitRegistryPath_data();
    void splitRegistryPath();
    void valuesKeepTheirType();
    void browserEmulationValue_data();
    void browserEmulationValue();
    void browserEmulation_data();
    void browserEmulation();
    void browserEmulation_otherVersionDeletesValue();
};

// clang-format off
void TestRegistry::splitRegistryPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("split");
    QTest::addColumn<QString>("rootName");
    QTest::addColumn<quint32>("root");
    QTest::addColumn<QString>("subKey");

    QTest::newRow("root and key") << "HKEY_LOCAL_MACHINE\\SOFTWARE\\A" << true << "HKEY_LOCAL_MACHINE"
                                  << quint32(RootKey::LocalMachine) << "SOFTWARE\\A";
    QTest::newRow("root alone") << "HKEY_CURRENT_USER" << true << "HKEY_CURRENT_USER"
                                << quint32(RootKey::CurrentUser) << "";
    QTest::newRow("unknown root") << "HKEY_NOWHERE\\A" << true << "HKEY_NOWHERE" << quint32(RootKey::None) << "A";
    QTest::newRow("root names are exact") << "HKEY_local_machine\\A" << true << "HKEY_local_machine"
                                          << quint32(RootKey::None) << "A";
    QTest::newRow("no HKEY_") << "SOFTWARE\\A" << false << "" << quint32(0) << "";
    QTest::newRow("ends with backslash") << "HKEY_USERS\\A\\" << false << "" << quint32(0) << "";
}
// clang-format on

void TestRegistry::splitRegistryPath()
{
    QFETCH(QString, path);
    QFETCH(bool, split);
    QFETCH(QString, rootName);
    QFETCH(quint32, root);
    QFETCH(QString, subKey);
    const auto parts = SplitRegistryPath(path);
    QCOMPARE(parts.has_value(), split);
    if (!split)
        return;
    QCOMPARE(parts->rootName, rootName);
    QCOMPARE(quint32(parts->root), root);
    QCOMPARE(parts->subKey, subKey);
}

void TestRegistry::valuesKeepTheirType()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Registry.ini"));
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Test/Slash");
    {
        Registry registry(file);
        QVERIFY(registry.writeDword(key, QStringLiteral("number"), 4000000000u));
        QVERIFY(registry.writeText(key, QStringLiteral("text"), QStringLiteral("C:\\a b\\c")));
        QVERIFY(!registry.writeDword(QStringLiteral("HKEY_NOWHERE\\A"), QStringLiteral("x"), 1));
    }
    Registry registry(file); // as the next run reads it
    QCOMPARE(registry.readDword(key, QStringLiteral("number")), std::optional<quint32>(4000000000u));
    QCOMPARE(
        registry.readDword(key.toLower().replace("hkey_local_machine", "HKEY_LOCAL_MACHINE"), QStringLiteral("NUMBER")),
        std::optional<quint32>(4000000000u));
    QCOMPARE(registry.readDword(key, QStringLiteral("text")), std::nullopt);
    QCOMPARE(registry.readDword(key, QStringLiteral("missing")), std::nullopt);
    QCOMPARE(registry.readDword(QStringLiteral("SOFTWARE\\Test"), QStringLiteral("number")), std::nullopt);
    const QString subKey = QStringLiteral("SOFTWARE\\Test/Slash");
    QCOMPARE(registry.keyValue(RootKey::LocalMachine, subKey, QStringLiteral("text")),
             std::optional<QString>(QStringLiteral("C:\\a b\\c")));
    // A number reads as its decimal text, whatever its bytes.
    QCOMPARE(registry.keyValue(RootKey::LocalMachine, subKey, QStringLiteral("number")),
             std::optional<QString>(QStringLiteral("4000000000")));
    QCOMPARE(registry.keyValue(RootKey::CurrentUser, subKey, QStringLiteral("text")), std::nullopt);
    registry.deleteValue(RootKey::LocalMachine, subKey, QStringLiteral("text"));
    QCOMPARE(registry.keyValue(RootKey::LocalMachine, subKey, QStringLiteral("text")), std::nullopt);
}

// clang-format off
void TestRegistry::browserEmulationValue_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<quint32>("standards");
    QTest::addColumn<quint32>("declared");

    QTest::newRow("IE10") << "IE10" << 10001u << 10000u;
    QTest::newRow("IE9") << "IE9" << 9999u << 9000u;
    QTest::newRow("IE8") << "IE8" << 8888u << 8000u;
    QTest::newRow("IE7") << "IE7" << 7000u << 7000u;
}
// clang-format on

void TestRegistry::browserEmulationValue()
{
    QFETCH(QString, version);
    QFETCH(quint32, standards);
    QFETCH(quint32, declared);
    QCOMPARE(BrowserEmulationValue(version, true), std::optional<quint32>(standards));
    QCOMPARE(BrowserEmulationValue(version, false), std::optional<quint32>(declared));
    QCOMPARE(BrowserEmulationValue(QStringLiteral("IE11"), true), std::nullopt);
}

// The start's call with "IE10" and true, over what the registry holds.
// clang-format off
void TestRegistry::browserEmulation_data()
{
    QTest::addColumn<QString>("stored"); // "": nothing; "text:…": a text value
    QTest::addColumn<bool>("writes");

    QTest::newRow("nothing stored") << "" << true;
    QTest::newRow("10001 stored") << "10001" << false;
    QTest::newRow("9000 stored") << "9000" << true;
    QTest::newRow("a text stored") << "text:10001" << true;
}
// clang-format on

void TestRegistry::browserEmulation()
{
    QFETCH(QString, stored);
    QFETCH(bool, writes);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Registry.ini"));
    const QString name = QStringLiteral("paperdrift");
    Registry registry(file);
    registry.writeText(kBrowserEmulationKey, QStringLiteral("other"), QStringLiteral("x")); // the file exists
    if (stored.startsWith(QLatin1String("text:")))
        registry.writeText(kBrowserEmulationKey, name, stored.mid(5));
    else if (!stored.isEmpty())
        registry.writeDword(kBrowserEmulationKey, name, stored.toUInt());
    // An old time on the file shows whether it is written again.
    const QDateTime old = QDateTime::currentDateTime().addDays(-1);
    {
        QFile handle(file);
        QVERIFY(handle.open(QIODevice::ReadWrite));
        QVERIFY(handle.setFileTime(old, QFileDevice::FileModificationTime));
    }

    BrowserEmulation(registry, name, QStringLiteral("IE10"), true);

    QCOMPARE(QFileInfo(file).lastModified() != old, writes);
    QCOMPARE(Registry(file).readDword(kBrowserEmulationKey, name), std::optional<quint32>(10001));
}

void TestRegistry::browserEmulation_otherVersionDeletesValue()
{
    QTemporaryDir dir;
    Registry registry(dir.filePath(QStringLiteral("Registry.ini")));
    registry.writeDword(kBrowserEmulationKey, QStringLiteral("paperdrift"), 9000);
    BrowserEmulation(registry, QStringLiteral("paperdrift"), QStringLiteral("IE6"), true);
    QCOMPARE(registry.readDword(kBrowserEmulationKey, QStringLiteral("paperdrift")), std::nullopt);
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
