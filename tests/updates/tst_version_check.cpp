#include "updates/UpdateCheck.h"

#include <QtTest>

class TestVersionCheck : public QObject
{
    Q_OBJECT

private slots:
    void newerVersion_data();
    void newerVersion();
    void addresses_data();
    void addresses();
};

// A running 1.4.927 against the texts a version file may hold.
// clang-format off
void TestVersionCheck::newerVersion_data()
{
    QTest::addColumn<QString>("fileText");
    QTest::addColumn<QString>("reported"); // empty: nothing happens

    QTest::newRow("same") << "1.4.927" << "";
    QTest::newRow("next revision") << "1.4.928" << "1.4.928";
    QTest::newRow("next minor") << "1.5.0" << "1.5.0";
    QTest::newRow("next major") << "2.0.0" << "2.0.0";
    QTest::newRow("older") << "1.3.999" << "";
    QTest::newRow("blanks around") << "  1.4.928\r\n" << "1.4.928";
    QTest::newRow("two parts") << "1.4" << "";
    QTest::newRow("four parts") << "1.4.9.1" << "";
    QTest::newRow("letter in front") << "V1.4.928" << "";
    QTest::newRow("eleven characters") << "10.10.10000" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("empty part") << "2..0" << "";
    QTest::newRow("not finite") << "inf.0.0" << "";
}
// clang-format on

void TestVersionCheck::newerVersion()
{
    QFETCH(QString, fileText);
    QFETCH(QString, reported);
    const auto newer = NewerVersionIn(fileText, ProgramVersion{1, 4, 927});
    QCOMPARE(newer.value_or(QString()), reported);
}

// clang-format off
void TestVersionCheck::addresses_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("versionFile");
    QTest::addColumn<QString>("programPage");

    QTest::newRow("with slash") << "http://example.test/soft/" << "http://example.test/soft/Paperdrift/newver.txt"
                                << "http://example.test/soft/Paperdrift/";
    QTest::newRow("without slash") << "http://example.test" << "http://example.test/Paperdrift/newver.txt"
                                   << "http://example.test/Paperdrift/";
}
// clang-format on

void TestVersionCheck::addresses()
{
    QFETCH(QString, base);
    QFETCH(QString, versionFile);
    QFETCH(QString, programPage);
    QCOMPARE(VersionFileAddress(base), versionFile);
    QCOMPARE(ProgramPageAddress(base), programPage);
}

QTEST_GUILESS_MAIN(TestVersionCheck)
#include "tst_version_check.moc"
