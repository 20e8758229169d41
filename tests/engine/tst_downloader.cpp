#include "EngineRig.h"

#include "engine/EngineTexts.h"
#include "engine/RowTexts.h"

#include <QSignalSpy>

Q_DECLARE_METATYPE(ItemState)

class DownloaderTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true); // sound files go to a test folder
        QVERIFY(m_site.start());
    }

    // How a parallel transfer ends for what the server sends, what stays at
    // the item's path and in its .part file, and which end steps run: status text, sounds and the
    // login after a completion; none of them after an error or the size limit.
    // clang-format off
    void outcomes_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<double>("limitMB");
        QTest::addColumn<ItemState>("state");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<QString>("type");
        QTest::addColumn<qint64>("fileLength"); // under the final name; -1: no file
        QTest::addColumn<qint64>("partLength"); // "<final name>.part"; -1: no file
        QTest::addColumn<bool>("pdfContent");
        QTest::addColumn<bool>("endSteps");
        QTest::addColumn<QList<int>>("sounds");
        QTest::addColumn<int>("requests");

        const QList<int> none;
        const qint64 noFile = -1;
        const QString large = EngineText::kLargeFileSkipped;
        auto site = [this](const char *path) { return m_site.url(QLatin1String(path)); };

        QTest::newRow("complete") << site("/pdf?size=5000") << 100.0 << Finished << "100%" << "pdf" << qint64(5000)
                                  << noFile << true << true << none << 1;
        QTest::newRow("no length, ended by closing: stored without a second request")
            << site("/pdf-close?size=5000") << 100.0 << Finished << "100%" << "pdf" << qint64(5000) << noFile << true
            << true << none << 1;
        QTest::newRow("chunked: stored without a second request")
            << site("/pdf-chunked?size=5000") << 100.0 << Finished << "100%" << "pdf" << qint64(5000) << noFile
            << true << true << none << 1;
        QTest::newRow("short body: failed with its percentage, bytes kept in .part")
            << site("/short?size=10000&send=5000") << 100.0 << Failed << "50%" << "pdf" << noFile << qint64(5000)
            << false << true << QList<int>{SoundNumber::ItemFailed} << 1;
        QTest::newRow("10 MB at a 10 MB limit") << site("/pdf?size=10485760") << 10.0 << Finished << "100%" << "pdf"
                                                << qint64(10485760) << noFile << true << true << none << 1;
        QTest::newRow("11 MB at a 10 MB limit") << site("/pdf?size=11534336") << 10.0 << Finished << large << "pdf"
                                                << noFile << noFile << false << false << none << 1;
        QTest::newRow("11 MB without length at a 10 MB limit")
            << site("/large?size=11534336&length=0") << 10.0 << Finished << large << "pdf" << noFile << noFile << false
            << false << none << 1;
        QTest::newRow("empty body: fetched again, nothing to store")
            << site("/status?code=200") << 100.0 << Failed << "" << "pdf" << noFile << noFile << false << false << none
            << 2;
        QTest::newRow("refused connection")
            << QStringLiteral("http://127.0.0.1:%1/x.pdf?a=1").arg(FixtureSite::closedPort()) << 100.0 << Failed << ""
            << "pdf" << noFile << noFile << false << false << none << 0;
        QTest::newRow("web page instead of the document")
            << site("/protected.pdf?size=3000") << 100.0 << Finished << "100%" << "htm"
            << qint64(FixtureSite::loginPage().size()) << noFile << false << true << QList<int>{SoundNumber::WebPage}
            << 1;
    }
    // clang-format on

    void outcomes()
    {
        QFETCH(QString, url);
        QFETCH(double, limitMB);
        QFETCH(ItemState, state);
        QFETCH(QString, progress);
        QFETCH(QString, type);
        QFETCH(qint64, fileLength);
        QFETCH(qint64, partLength);
        QFETCH(bool, pdfContent);
        QFETCH(bool, endSteps);
        QFETCH(QList<int>, sounds);
        QFETCH(int, requests);

        EngineRig rig;
        rig.settings.MaxFileSizeMB = limitMB;
        rig.engine.options().soundOn = true;
        rig.engine.options().autoLogin = true;
        QSignalSpy login(&rig.engine, &DownloadEngine::loginRequested);
        QSignalSpy panel2(&rig.engine, &DownloadEngine::panel2TextChanged);
        const QString mark = rowMark();
        const quint64 id = rig.add(url + mark, QStringLiteral("A"));

        rig.engine.start();
        rig.tick();
        QCOMPARE(rig.engine.CountLoadedWorkers(), 2);
        QVERIFY(rig.waitIdle());

        const DownloadItem &item = rig.item(id);
        QCOMPARE(item.State, state);
        QCOMPARE(ProgressText(item.Progress), progress);
        QCOMPARE(item.Type, type);
        const QString name = QStringLiteral("A.") + type;
        QStringList files;
        if (fileLength >= 0)
            files << name;
        if (partLength >= 0)
            files << name + QStringLiteral(".part");
        QCOMPARE(rig.filesInFolder(), files);
        if (fileLength >= 0)
            QCOMPARE(QFileInfo(rig.filePath(name)).size(), fileLength);
        if (partLength >= 0)
            QVERIFY(readFile(rig.filePath(name + QStringLiteral(".part"))) == FixtureSite::pdfBody(partLength));
        if (pdfContent)
            QVERIFY(readFile(rig.filePath(name)) == FixtureSite::pdfBody(fileLength));
        QCOMPARE(rig.sounds.numbers(), sounds);
        QCOMPARE(login.count(), type == QLatin1String("htm") ? 1 : 0);
        QCOMPARE(!panel2.isEmpty(), endSteps);
        if (endSteps)
            QCOMPARE(panel2.last().first().toString(), EngineText::kFinishedPrefix + QStringLiteral("A"));
        if (requests > 0)
            QCOMPARE(requestsMarked(m_site, mark), requests);
    }

    // Two waiting rows with the same folder, name and type: the first one's
    // path is reserved while it runs, so under "重命名" the second starts in
    // the same tick with a counter, and under "跳过" it waits and is then
    // skipped as the first one's file exists.
    // clang-format off
    void sameNameInOneTick_data()
    {
        QTest::addColumn<SameNamePolicy>("policy");
        QTest::addColumn<QString>("secondName");
        QTest::addColumn<ItemState>("secondState");
        QTest::addColumn<QString>("secondProgress");
        QTest::addColumn<QStringList>("files");

        QTest::newRow("rename: counter [001]") << SameNamePolicy::Rename << "A[001]" << Finished << "100%"
                                               << QStringList{"A.pdf", "A[001].pdf"};
        QTest::newRow("skip: waits for the first, then exists")
            << SameNamePolicy::Skip << "A" << Finished << EngineText::kExistsSkipped << QStringList{"A.pdf"};
    }
    // clang-format on

    void sameNameInOneTick()
    {
        QFETCH(SameNamePolicy, policy);
        QFETCH(QString, secondName);
        QFETCH(ItemState, secondState);
        QFETCH(QString, secondProgress);
        QFETCH(QStringList, files);

        EngineRig rig;
        rig.engine.options().sameNamePolicy = policy;
        rig.engine.options().threadCount = 2;
        const quint64 first = rig.add(m_site.url(QStringLiteral("/pdf?size=3000")) + rowMark(), QStringLiteral("A"));
        const quint64 second = rig.add(m_site.url(QStringLiteral("/pdf?size=4000")) + rowMark(), QStringLiteral("A"));
        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        rig.tick();
        QVERIFY(rig.waitIdle());

        QCOMPARE(rig.item(first).Name, QStringLiteral("A"));
        QCOMPARE(rig.item(second).Name, secondName);
        QCOMPARE(rig.item(second).State, secondState);
        QCOMPARE(ProgressText(rig.item(second).Progress), secondProgress);
        QCOMPARE(rig.filesInFolder(), files);
        QVERIFY(readFile(rig.filePath(QStringLiteral("A.pdf"))) == FixtureSite::pdfBody(3000));
        if (files.size() == 2)
            QVERIFY(readFile(rig.filePath(QStringLiteral("A[001].pdf"))) == FixtureSite::pdfBody(4000));
    }

    // "&amp;" in an address, in any case, is fetched as "&".
    void ampersandEntity()
    {
        EngineRig rig;
        const quint64 id =
            rig.add(m_site.url(QStringLiteral("/pdf?size=1000&amp;x=1&AMP;row=amp")), QStringLiteral("A"));
        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(ProgressText(rig.item(id).Progress), QStringLiteral("100%"));
        QVERIFY(requestsMarked(m_site, QStringLiteral("/pdf?size=1000&x=1&row=amp")) >= 1);
    }

    // A worker gives up only when no byte has arrived for the stall limit,
    // whether or not the server announced a length: pieces 200 s apart keep
    // it going well past 300 s; 300 s of silence after the last one end it.
    // clang-format off
    void stallLimit_data()
    {
        QTest::addColumn<qint64>("announced");
        QTest::newRow("length announced") << qint64(1000000);
        QTest::newRow("no length announced") << qint64(0);
    }
    // clang-format on

    void stallLimit()
    {
        QFETCH(qint64, announced);
        const QString pieceUrl = m_site.url(QStringLiteral("/piece?length=%1").arg(announced) + rowMark());
        EngineRig rig;
        const quint64 id = rig.add(pieceUrl, QStringLiteral("A"));
        rig.engine.start();
        rig.tick();
        auto *worker = qobject_cast<Downloader *>(rig.engine.worker(1));
        QVERIFY(worker);
        QTRY_COMPARE_WITH_TIMEOUT(requestsMarked(m_site, rowMark()), 1, EngineRig::kWaitMs);

        for (int piece = 1; piece <= 4; ++piece) {
            m_site.sendPieces(1000);
            QTRY_COMPARE_WITH_TIMEOUT(worker->BytesSoFar(), qint64(piece * 1000), EngineRig::kWaitMs);
            rig.engine.tickTransfers();
            QVERIFY2(rig.engine.IsControlLoaded(1), "stalled while data was flowing");
            rig.clock.advance(200);
        }
        rig.engine.tickTransfers();
        QVERIFY(rig.engine.IsControlLoaded(1));
        rig.clock.advance(99);
        rig.engine.tickTransfers();
        QVERIFY(rig.engine.IsControlLoaded(1));
        rig.clock.advance(1);
        rig.engine.tickTransfers();
        QVERIFY(!rig.engine.IsControlLoaded(1));

        QCOMPARE(rig.item(id).State, Failed);
        QCOMPARE(rig.filesInFolder(), QStringList{QStringLiteral("A.pdf.part")});
        QCOMPARE(readFile(rig.filePath(QStringLiteral("A.pdf.part"))), QByteArray(4000, 'p'));
    }

    // Under "覆盖" the older file stays whole while the new one arrives, and
    // stays as it was when the transfer is abandoned.
    // clang-format off
    void overwriteKeepsOlderFile_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<qint64>("announced");
        QTest::addColumn<ItemState>("state");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("partKept");

        QTest::newRow("completed") << "complete" << qint64(3000) << Finished << true << false;
        QTest::newRow("stopped") << "stop" << qint64(3000) << Failed << false << true;
        QTest::newRow("stalled") << "stall" << qint64(3000) << Failed << false << true;
        QTest::newRow("ended short") << "close" << qint64(3000) << Failed << false << true;
        QTest::newRow("too large") << "none" << qint64(11 * 1024 * 1024) << Finished << false << false;
    }
    // clang-format on

    void overwriteKeepsOlderFile()
    {
        QFETCH(QString, ending);
        QFETCH(qint64, announced);
        QFETCH(ItemState, state);
        QFETCH(bool, replaced);
        QFETCH(bool, partKept);

        const QByteArray older = "the older file";
        const QString pieceUrl = m_site.url(QStringLiteral("/piece?length=%1").arg(announced) + rowMark());
        EngineRig rig;
        rig.engine.options().sameNamePolicy = SameNamePolicy::Overwrite;
        rig.settings.MaxFileSizeMB = 10;
        const QString path = rig.filePath(QStringLiteral("A.pdf"));
        QVERIFY(writeFile(path, older));
        const quint64 id = rig.add(pieceUrl, QStringLiteral("A"));
        rig.engine.start();
        rig.tick();
        QTRY_COMPARE_WITH_TIMEOUT(requestsMarked(m_site, rowMark()), 1, EngineRig::kWaitMs);
        m_site.sendPieces(1000);
        QTRY_VERIFY_WITH_TIMEOUT(rig.item(id).Downloaded.has_value(), EngineRig::kWaitMs);
        QCOMPARE(readFile(path), older);

        if (ending == QLatin1String("complete")) {
            m_site.sendPieces(2000);
        } else if (ending == QLatin1String("stop")) {
            rig.engine.stop();
        } else if (ending == QLatin1String("close")) {
            m_site.closePieces();
        } else if (ending == QLatin1String("stall")) {
            rig.engine.tickTransfers();
            rig.clock.advance(Downloader::kStallSeconds);
            rig.engine.tickTransfers();
        }
        QVERIFY(rig.waitIdle());

        QCOMPARE(rig.item(id).State, state);
        QCOMPARE(readFile(path), replaced ? QByteArray(3000, 'p') : older);
        QStringList files{QStringLiteral("A.pdf")};
        if (partKept)
            files << QStringLiteral("A.pdf.part");
        QCOMPARE(rig.filesInFolder(), files);
        if (partKept)
            QCOMPARE(readFile(path + QStringLiteral(".part")), QByteArray(1000, 'p'));
    }

    // A worker finds its row by the row's identity: when rows before it leave
    // the list while it runs, it still updates its own row and no other.
    void rowFoundByIdentity()
    {
        const QString pieceUrl = m_site.url(QStringLiteral("/piece?length=2000") + rowMark());
        EngineRig rig;
        rig.add(QStringLiteral("http://127.0.0.1/done.pdf"), QStringLiteral("X"), QStringLiteral("pdf"), Finished);
        const quint64 own = rig.add(pieceUrl, QStringLiteral("Y"));
        const quint64 other = rig.add(m_site.url(QStringLiteral("/pdf?size=100&row=other")), QStringLiteral("Z"));
        rig.engine.start();
        rig.tick();
        QCOMPARE(rig.item(own).State, Downloading);
        QCOMPARE(rig.item(other).State, Waiting);

        QTRY_COMPARE_WITH_TIMEOUT(requestsMarked(m_site, rowMark()), 1, EngineRig::kWaitMs);
        m_site.sendPieces(1000);
        QTRY_COMPARE_WITH_TIMEOUT(ProgressText(rig.item(own).Progress), QStringLiteral("50%"), EngineRig::kWaitMs);
        QCOMPARE(rig.engine.list().removeItemsIf([](const DownloadItem &item) { return item.Name == "X"; }), 1);
        m_site.sendPieces(1000);
        QVERIFY(rig.waitIdle());

        QCOMPARE(rig.item(own).State, Finished);
        QCOMPARE(ProgressText(rig.item(own).Progress), QStringLiteral("100%"));
        const DownloadItem &untouched = rig.item(other);
        QCOMPARE(untouched.State, Waiting);
        QVERIFY(untouched.Size.isEmpty() && !untouched.Downloaded && untouched.Progress.isEmpty());
    }

private:
    FixtureSite m_site;
};

QTEST_GUILESS_MAIN(DownloaderTest)
#include "tst_downloader.moc"
