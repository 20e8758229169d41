// The search window's rules without a window: where the panes go, and what
// "打开指定网址..." and "打开AIAA首页" open.
#include "search_window/OpenAddress.h"
#include "search_window/SearchLayout.h"

#include <QtTest>

class TestSearchRules : public QObject
{
    Q_OBJECT

private slots:
    void sizeSpringsBack_data();
    void sizeSpringsBack();
    void splitterPlacement_data();
    void splitterPlacement();
    void panesFollowTheSplitter();
    void openAddressAnswer_data();
    void openAddressAnswer();
    void startPage_data();
    void startPage();
};

namespace {

SearchLayoutInput windowOf(int width, int height, int barTop)
{
    SearchLayoutInput input;
    input.windowWidth = width;
    input.windowHeight = height;
    input.menuBarHeight = 300;
    input.statusBarHeight = 330;
    input.barTop = barTop;
    input.barHeight = 60;
    return input;
}

} // namespace

// clang-format off
void TestSearchRules::sizeSpringsBack_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expectedWidth");
    QTest::addColumn<int>("expectedHeight");

    QTest::newRow("large enough") << 15000 << 10000 << 15000 << 10000;
    QTest::newRow("at the limits") << 9000 << 5000 << 9000 << 5000;
    QTest::newRow("too narrow") << 8985 << 10000 << 9000 << 10000;
    QTest::newRow("too low") << 15000 << 4000 << 15000 << 5000;
    QTest::newRow("both too small") << 3000 << 1500 << 9000 << 5000;
}
// clang-format on

void TestSearchRules::sizeSpringsBack()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, expectedWidth);
    QFETCH(int, expectedHeight);

    const SearchLayout layout = LayOutSearchWindow(windowOf(width, height, 3000));
    QCOMPARE(layout.windowWidth, expectedWidth);
    QCOMPARE(layout.windowHeight, expectedHeight);
}

// The splitter stays where it was dropped unless it lies lower than the
// window's height less 1200 or above the upper pane; then it goes to four
// fifths of the height (of the height after the lower limits).
// clang-format off
void TestSearchRules::splitterPlacement_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("barTop");
    QTest::addColumn<int>("expectedTop");

    QTest::newRow("in the middle") << 10000 << 5000 << 5000;
    QTest::newRow("at the lowest place") << 10000 << 8800 << 8800;
    QTest::newRow("one twip too low") << 10000 << 8801 << 8000;
    QTest::newRow("below the window") << 10000 << 12000 << 8000;
    QTest::newRow("at the top") << 10000 << 0 << 0;
    QTest::newRow("above the top") << 10000 << -15 << 8000;
    QTest::newRow("too low in a window that springs back") << 3000 << 4500 << 4000;
}
// clang-format on

void TestSearchRules::splitterPlacement()
{
    QFETCH(int, height);
    QFETCH(int, barTop);
    QFETCH(int, expectedTop);

    QCOMPARE(LayOutSearchWindow(windowOf(12000, height, barTop)).bar.top(), expectedTop);
}

void TestSearchRules::panesFollowTheSplitter()
{
    const SearchLayout layout = LayOutSearchWindow(windowOf(12000, 9000, 6000));
    QCOMPARE(layout.bar, QRect(20, 6000, 11700, 60));
    QCOMPARE(layout.upperPane, QRect(20, 0, 11700, 6000));
    // Down to the status bar: 9000 less the menu bar, the status bar, the
    // splitter's top and its height.
    QCOMPARE(layout.lowerPane, QRect(20, 6060, 11700, 9000 - 300 - 330 - 6000 - 60));
}

// clang-format off
void TestSearchRules::openAddressAnswer_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("address");

    QTest::newRow("https in capitals") << "HTTPS://example.org/a" << false << "HTTPS://example.org/a";
    QTest::newRow("https, blanks around") << "  https://example.org  " << false << "https://example.org";
    QTest::newRow("http") << "http://example.org" << true << "http://example.org";
    QTest::newRow("no scheme: as typed") << "example.org/x" << true << "example.org/x";
    QTest::newRow("https without slashes") << "https:example.org" << true << "https:example.org";
    QTest::newRow("empty") << "" << true << "";
    QTest::newRow("blanks only") << "   " << true << "";
}
// clang-format on

void TestSearchRules::openAddressAnswer()
{
    QFETCH(QString, answer);
    QFETCH(bool, silent);
    QFETCH(QString, address);

    const OpenAddressAnswer read = ReadOpenAddressAnswer(answer);
    QCOMPARE(read.silent, silent);
    QCOMPARE(read.address, address);
}

// clang-format off
void TestSearchRules::startPage_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QString>("expected");

    QTest::newRow("not set") << QByteArray() << "https://arc.aiaa.org/";
    QTest::newRow("blank") << QByteArray("  ") << "https://arc.aiaa.org/";
    QTest::newRow("a mirror") << QByteArray(" http://127.0.0.1:8080/ ") << "http://127.0.0.1:8080/";
}
// clang-format on

void TestSearchRules::startPage()
{
    QFETCH(QByteArray, variable);
    QFETCH(QString, expected);

    if (variable.isNull())
        qunsetenv("PAPERDRIFT_START_PAGE");
    else
        qputenv("PAPERDRIFT_START_PAGE", variable);
    QCOMPARE(StartPageAddress(), expected);
    qunsetenv("PAPERDRIFT_START_PAGE");
}

QTEST_GUILESS_MAIN(TestSearchRules)
#include "tst_search_rules.moc"
