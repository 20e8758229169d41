#include "download_window/TransferSpeed.h"
#include "download_window/WindowRules.h"
#include "engine/DownloadList.h"
#include "engine/RowTexts.h"

#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<int>)
Q_DECLARE_METATYPE(std::optional<QRect>)

// The download window's rules that need no window: the speed panel, the
// resize arithmetic and the progress cells drawn as bars.
class TestWindowRules : public QObject
{
    Q_OBJECT

private slots:
    void speedText_data();
    void speedText();
    void speedSamples();
    void speedBlankWithoutTransfers();
    void timeLeft();
    void resize_data();
    void resize();
    void progressPercent_data();
    void progressPercent();

private:
    static void addRow(DownloadList &list, const QString &url, ItemState state, const QString &downloaded)
    {
        DownloadItem item;
        item.Url = url;
        item.Name = url;
        item.State = state;
        item.Downloaded = DownloadedFromText(downloaded);
        list.addItem(item);
    }
    static void setRow(DownloadList &list, const QString &url, ItemState state, const QString &downloaded)
    {
        list.updateItem(list.rowOfUrl(url), [&](DownloadItem &item) {
            item.State = state;
            item.Downloaded = DownloadedFromText(downloaded);
        });
    }
};

// clang-format off
void TestWindowRules::speedText_data()
{
    QTest::addColumn<double>("bytesPerSecond");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing arrived") << 0.0 << "0 B/s";
    QTest::newRow("bytes") << 512.4 << "512 B/s";
    QTest::newRow("just below a kilobyte") << 1023.0 << "1023 B/s";
    QTest::newRow("one kilobyte") << 1024.0 << "1.0 KB/s";
    QTest::newRow("kilobytes") << 1536.0 << "1.5 KB/s";
    QTest::newRow("rounds up into megabytes") << 1048575.0 << "1.0 MB/s";
    QTest::newRow("megabytes") << 1.2 * 1048576 << "1.2 MB/s";
    QTest::newRow("gigabytes") << 5.0 * 1073741824 << "5.0 GB/s";
    QTest::newRow("never negative") << -300.0 << "0 B/s";
}
// clang-format on

void TestWindowRules::speedText()
{
    QFETCH(double, bytesPerSecond);
    QFETCH(QString, text);
    QCOMPARE(TransferSpeed::text(bytesPerSecond), text);
}

// The speed is the growth of the downloading rows' counts between samples,
// over the time between them; a row that ended since the last sample still
// counts its last bytes, and a row that started over counts from zero.
void TestWindowRules::speedSamples()
{
    DownloadList list;
    addRow(list, "a", Downloading, "1000");
    addRow(list, "b", Downloading, "");
    addRow(list, "c", Finished, "999999");
    TransferSpeed speed;
    QCOMPARE(speed.sample(list, 10.0), 0.0);
    QVERIFY(speed.running());

    setRow(list, "a", Downloading, "3000");
    setRow(list, "b", Downloading, "2000");
    QCOMPARE(speed.sample(list, 12.0), 2000.0); // (2000 + 2000) bytes in 2 s

    setRow(list, "a", Finished, "3500");   // ended with its last 500 bytes
    setRow(list, "b", Downloading, "100"); // started over
    QCOMPARE(speed.sample(list, 13.0), 600.0);
    QVERIFY(speed.running());

    list.removeItemsIf([](const DownloadItem &item) { return item.Url == QLatin1String("b"); });
    QCOMPARE(speed.sample(list, 14.0), 0.0);
    QVERIFY(!speed.running());
}

void TestWindowRules::speedBlankWithoutTransfers()
{
    DownloadList list;
    addRow(list, "done", Finished, "5000");
    TransferSpeed speed;
    const double rate = speed.sample(list, 1.0);
    QCOMPARE(SpeedPanelText(speed, rate), QString());
    addRow(list, "running", Downloading, "0");
    QCOMPARE(SpeedPanelText(speed, speed.sample(list, 2.0)), QStringLiteral("0 B/s"));
}

// The panel adds the time left when every downloading row has a length:
// the bytes still missing over the smoothed speed.
void TestWindowRules::timeLeft()
{
    DownloadList list;
    addRow(list, "a", Downloading, "0");
    addRow(list, "b", Downloading, "0");
    const auto sized = [&list](const char *url, const char *size) {
        list.updateItem(list.rowOfUrl(QLatin1String(url)),
                        [size](DownloadItem &item) { item.Size = SizeFromText(QLatin1String(size)); });
    };
    sized("a", "300000");
    TransferSpeed speed;
    speed.sample(list, 0.0);
    setRow(list, "a", Downloading, "100000");
    setRow(list, "b", Downloading, "0");
    const double rate = speed.sample(list, 1.0);
    QCOMPARE(speed.secondsLeft(), -1.0); // b has no length yet
    QCOMPARE(SpeedPanelText(speed, rate), QStringLiteral("97.7 KB/s"));

    sized("b", "6100000");
    setRow(list, "a", Downloading, "200000");
    const double second = speed.sample(list, 2.0); // 100000 B/s, 100000 + 6100000 bytes to go
    QCOMPARE(speed.secondsLeft(), 62.0);
    QCOMPARE(SpeedPanelText(speed, second), QStringLiteral("97.7 KB/s，剩余 1:02"));
    QCOMPARE(TransferSpeed::timeText(3723.2), QStringLiteral("1:02:04"));

    setRow(list, "a", Finished, "300000");
    setRow(list, "b", Finished, "6100000");
    speed.sample(list, 3.0);
    QCOMPARE(speed.secondsLeft(), -1.0);
}

// clang-format off
void TestWindowRules::resize_data()
{
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("stripHeight");
    QTest::addColumn<std::optional<QRect>>("strip");
    QTest::addColumn<std::optional<QRect>>("list");
    // 20 twips are 1 pixel, 300 twips 20 pixels, 140 twips 9 pixels; the
    // status bar is 20 pixels high and the menu bar 22.
    QTest::newRow("normal window") << QSize(1000, 700) << 80 << std::optional(QRect(1, 1, 980, 80))
                                   << std::optional(QRect(1, 81, 980, 700 - 81 - 20 - 22 - 9));
    QTest::newRow("list exactly nothing high") << QSize(400, 132) << 80 << std::optional(QRect(1, 1, 380, 80))
                                               << std::optional(QRect(1, 81, 380, 0));
    QTest::newRow("too low for the list: only the strip is placed")
        << QSize(400, 131) << 80 << std::optional(QRect(1, 1, 380, 80)) << std::optional<QRect>();
    QTest::newRow("too narrow for either") << QSize(19, 700) << 80 << std::optional<QRect>()
                                           << std::optional<QRect>();
}
// clang-format on

void TestWindowRules::resize()
{
    QFETCH(QSize, window);
    QFETCH(int, stripHeight);
    QFETCH(std::optional<QRect>, strip);
    QFETCH(std::optional<QRect>, list);
    ResizeInput input;
    input.windowWidth = window.width();
    input.windowHeight = window.height();
    input.stripHeight = stripHeight;
    input.statusBarHeight = 20;
    input.menuBarHeight = 22;
    const ResizeResult placed = DownloadWindowResize(input);
    QCOMPARE(placed.strip, strip);
    QCOMPARE(placed.list, list);
}

// clang-format off
void TestWindowRules::progressPercent_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<std::optional<int>>("percent");
    QTest::newRow("part") << "37%" << std::optional(37);
    QTest::newRow("complete") << "100%" << std::optional(100);
    QTest::newRow("nothing yet") << "0%" << std::optional(0);
    QTest::newRow("above 100 is held at 100") << "250%" << std::optional(100);
    QTest::newRow("a progress word") << "大文件，跳过" << std::optional<int>();
    QTest::newRow("does not exist") << "不存在" << std::optional<int>();
    QTest::newRow("empty") << "" << std::optional<int>();
    QTest::newRow("sign alone") << "%" << std::optional<int>();
    QTest::newRow("blank inside") << "5 %" << std::optional<int>();
    QTest::newRow("negative") << "-5%" << std::optional<int>();
}
// clang-format on

void TestWindowRules::progressPercent()
{
    QFETCH(QString, cell);
    QFETCH(std::optional<int>, percent);
    // The cell as the engine keeps it, read through the list's value role.
    DownloadList list;
    addRow(list, QStringLiteral("a"), Downloading, QString());
    list.updateItem(0, [&cell](DownloadItem &item) { item.Progress = ProgressFromText(cell); });
    QCOMPARE(ProgressPercent(list.index(0, DownloadList::ProgressColumn).data(DownloadList::ValueRole)), percent);
}

QTEST_GUILESS_MAIN(TestWindowRules)
#include "tst_window_rules.moc"
