#include "platform/SettingsStore.h"
#include "settings/LayoutRules.h"
#include "settings/StoredSettings.h"
#include "widgets/ListViewHelpers.h"
#include "widgets/LoadedWindows.h"
#include "widgets/WindowLayout.h"
#include "tests/support/TempSettings.h"

#include <QHeaderView>
#include <QListView>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#include <QtTest>
#include <memory>

// Window layout kept across runs, the striped list background, column fitting
// and the test for a loaded window.
class TestLayoutAndLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void screenSizeText();
    void firstRunOpensMaximised();
    void normalLayoutRoundTrips();
    void maximisedCloseKeepsNormalSize();
    void storedValuesBelowTheLimits();
    void changedScreenOpensMaximised();
    void stripes_data();
    void stripes();
    void autoSizeColumns_data();
    void autoSizeColumns();
    void loadedWindowByName_data();
    void loadedWindowByName();
    void windowLoadedWhileItExists();

private:
    // A download window as it opens: a new widget placed from the store.
    std::unique_ptr<QWidget> openWindow(TempSettings &temp)
    {
        auto window = std::make_unique<QWidget>();
        window->setObjectName("fFileDownload");
        RestoreWindowLayout(window.get(), StoredSettings(temp.store()));
        window->show();
        return window;
    }
    static QString layoutValue(TempSettings &temp, const QString &key)
    {
        return temp.store().GetSetting("Paperdrift", "fFileDownload", key, "absent");
    }
};

void TestLayoutAndLists::screenSizeText()
{
    const QSize size = QGuiApplication::primaryScreen()->size();
    QCOMPARE(ScreenSizeText(), QString("%1*%2").arg(size.width()).arg(size.height()));
}

void TestLayoutAndLists::firstRunOpensMaximised()
{
    TempSettings temp;
    auto window = openWindow(temp);
    QVERIFY(window->isMaximized());
}

void TestLayoutAndLists::normalLayoutRoundTrips()
{
    TempSettings temp;
    auto window = openWindow(temp);
    window->showNormal();
    window->move(40, 30);
    window->resize(500, 400);
    StoredSettings stored(temp.store());
    SaveWindowLayout(window.get(), stored);
    QCOMPARE(layoutValue(temp, "分辨率"), ScreenSizeText());
    QCOMPARE(layoutValue(temp, "上"), QString("450"));
    QCOMPARE(layoutValue(temp, "左"), QString("600"));
    QCOMPARE(layoutValue(temp, "宽"), QString("7500"));
    QCOMPARE(layoutValue(temp, "高"), QString("6000"));

    temp.reopen();
    auto next = openWindow(temp);
    QVERIFY(!next->isMaximized());
    QCOMPARE(next->pos(), QPoint(40, 30));
    QCOMPARE(next->size(), QSize(500, 400));
}

void TestLayoutAndLists::maximisedCloseKeepsNormalSize()
{
    TempSettings temp;
    StoredSettings stored(temp.store());
    stored.saveLayoutResolution("fFileDownload", ScreenSizeText());
    stored.saveLayoutGeometry("fFileDownload", 450, 600, 7500, 6000);
    auto window = openWindow(temp);
    window->showMaximized();
    SaveWindowLayout(window.get(), stored);
    QCOMPARE(layoutValue(temp, "分辨率"), QString("0*0"));
    QCOMPARE(layoutValue(temp, "宽"), QString("7500"));
    QCOMPARE(layoutValue(temp, "上"), QString("450"));

    auto next = openWindow(temp);
    QVERIFY(next->isMaximized());
}

void TestLayoutAndLists::storedValuesBelowTheLimits()
{
    TempSettings temp;
    StoredSettings stored(temp.store());
    stored.saveLayoutResolution("fFileDownload", ScreenSizeText());
    stored.saveLayoutGeometry("fFileDownload", -500, 300, 2000, 1500);
    auto window = openWindow(temp);
    QVERIFY(!window->isMaximized());
    QCOMPARE(window->y(), 0);
    QCOMPARE(window->x(), 20);
    QCOMPARE(window->width(), TwipsToPixels(4000));
    QCOMPARE(window->height(), TwipsToPixels(3000));

    // The next close stores what the window now is.
    SaveWindowLayout(window.get(), stored);
    QCOMPARE(layoutValue(temp, "宽"), QString::number(PixelsToTwips(TwipsToPixels(4000))));
    QCOMPARE(layoutValue(temp, "上"), QString("0"));
}

void TestLayoutAndLists::changedScreenOpensMaximised()
{
    TempSettings temp;
    StoredSettings stored(temp.store());
    stored.saveLayoutResolution("fFileDownload", "1*1");
    stored.saveLayoutGeometry("fFileDownload", 450, 600, 7500, 6000);
    auto window = openWindow(temp);
    QVERIFY(window->isMaximized());

    window->showNormal();
    SaveWindowLayout(window.get(), stored);
    QCOMPARE(layoutValue(temp, "分辨率"), ScreenSizeText());
    auto next = openWindow(temp);
    QVERIFY(!next->isMaximized());
}

// clang-format off
void TestLayoutAndLists::stripes_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("perPixel");
    QTest::addColumn<int>("scroll"); // scroll bar value: rows or pixels
    QTest::addColumn<int>("bandHeight");
    QTest::addColumn<int>("earlierBandHeight"); // 0: the first call

    QTest::newRow("download list at the top") << 40 << false << 0 << 17 << 0;
    QTest::newRow("scrolled by an odd row") << 40 << false << 3 << 17 << 0;
    QTest::newRow("scrolled by pixels") << 40 << true << 25 << 17 << 0;
    QTest::newRow("harvest list rows") << 40 << false << 1 << 13 << 0;
    QTest::newRow("few rows: bands below them") << 3 << false << 0 << 17 << 0;
    QTest::newRow("empty list") << 0 << false << 0 << 17 << 0;
    QTest::newRow("a second call replaces the first") << 40 << false << 2 << 17 << 13;
}
// clang-format on

void TestLayoutAndLists::stripes()
{
    QFETCH(int, rows);
    QFETCH(bool, perPixel);
    QFETCH(int, scroll);
    QFETCH(int, bandHeight);
    QFETCH(int, earlierBandHeight);

    QStandardItemModel model(rows, 2);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < 2; ++column)
            model.setData(model.index(row, column), QSize(60, bandHeight), Qt::SizeHintRole);
    }
    QTreeView view;
    view.setRootIsDecorated(false);
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.setVerticalScrollMode(perPixel ? QAbstractItemView::ScrollPerPixel : QAbstractItemView::ScrollPerItem);
    view.resize(300, 240);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    if (earlierBandHeight > 0)
        PaintStripedListBackground(&view, earlierBandHeight);
    PaintStripedListBackground(&view, bandHeight);
    view.verticalScrollBar()->setValue(scroll);

    const QImage image = view.viewport()->grab().toImage();
    const int x = image.width() - 3; // right of the columns, where no row paints
    int top = rows > 0 ? view.visualRect(model.index(0, 0)).top() : 0;
    QCOMPARE(top, rows == 0 ? 0 : -(perPixel ? scroll : scroll * bandHeight));

    // Every band of the viewport, rows and empty space alike: row 0 on green.
    for (int band = 0; top + band * bandHeight < image.height(); ++band) {
        const int y = top + band * bandHeight + bandHeight / 2;
        if (y < 0 || y >= image.height())
            continue;
        const QColor expected = band % 2 == 0 ? kStripeGreen : kStripeWhite;
        QVERIFY2(image.pixelColor(x, y) == expected,
                 qPrintable(QString("band %1 at y %2 is %3").arg(band).arg(y).arg(image.pixelColor(x, y).name())));
    }
}

// clang-format off
void TestLayoutAndLists::autoSizeColumns_data()
{
    QTest::addColumn<bool>("table");
    QTest::newRow("tree view") << false;
    QTest::newRow("table view") << true;
}
// clang-format on

void TestLayoutAndLists::autoSizeColumns()
{
    QFETCH(bool, table);
    // Column 0: the header is wider; column 1: a cell is wider.
    const QString wideHeader = "保存路径保存路径保存路径";
    const QString wideCell = "D:/papers/2016/a rather long article title.pdf";
    QStandardItemModel model(3, 2);
    model.setHorizontalHeaderLabels({wideHeader, "B"});
    model.setData(model.index(0, 0), "x");
    model.setData(model.index(2, 1), wideCell);

    std::unique_ptr<QAbstractItemView> view;
    QHeaderView *header = nullptr;
    if (table) {
        auto *tableView = new QTableView;
        header = tableView->horizontalHeader();
        view.reset(tableView);
    } else {
        auto *treeView = new QTreeView;
        header = treeView->header();
        view.reset(treeView);
    }
    view->setModel(&model);
    header->setStretchLastSection(false);
    header->resizeSection(0, 600);
    header->resizeSection(1, 5);
    view->resize(800, 300);
    view->show();

    AutoSizeColumns(view.get());
    const QFontMetrics headerFont(header->font());
    const QFontMetrics cellFont(view->font());
    QVERIFY(header->sectionSize(0) < 600);
    QVERIFY(header->sectionSize(0) >= headerFont.horizontalAdvance(wideHeader));
    QVERIFY(header->sectionSize(1) >= cellFont.horizontalAdvance(wideCell));

    // A plain list has no columns to fit.
    QListView list;
    list.setModel(&model);
    AutoSizeColumns(&list);
}

// clang-format off
void TestLayoutAndLists::loadedWindowByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("loaded");

    QTest::newRow("its own name") << "fFileDownload" << true;
    QTest::newRow("other letter case") << "ffileDownLoad" << true;
    QTest::newRow("upper case") << "FFILEDOWNLOAD" << true;
    QTest::newRow("another window") << "fCover" << false;
    QTest::newRow("a control inside the window") << "fWebSearch" << false;
    QTest::newRow("empty name") << "" << false;
}
// clang-format on

// A hidden window counts as loaded; only windows count, not their controls.
void TestLayoutAndLists::loadedWindowByName()
{
    QFETCH(QString, name);
    QWidget download;
    download.setObjectName("fFileDownload");
    auto *control = new QWidget(&download);
    control->setObjectName("fWebSearch");

    QTEST(IsWindowLoaded(name), "loaded");
}

void TestLayoutAndLists::windowLoadedWhileItExists()
{
    auto download = std::make_unique<QWidget>();
    download->setObjectName("fFileDownload");
    download->show();
    download->hide();
    QVERIFY(IsWindowLoaded("fFileDownload"));
    download.reset();
    QVERIFY(!IsWindowLoaded("fFileDownload"));

    // A window destroyed when it closes is no longer loaded once it is gone.
    auto *search = new QWidget;
    search->setObjectName("fWebSearch");
    search->setAttribute(Qt::WA_DeleteOnClose);
    search->show();
    QVERIFY(IsWindowLoaded("fWebSearch"));
    search->close();
    QTRY_VERIFY(!IsWindowLoaded("fWebSearch"));
}

QTEST_MAIN(TestLayoutAndLists)
#include "tst_layout_and_lists.moc"
