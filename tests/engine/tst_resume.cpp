#include "EngineRig.h"

#include "engine/EngineTexts.h"
#include "engine/ListResets.h"
#include "engine/Naming.h"
#include "engine/Resume.h"
#include "engine/RowTexts.h"
#include "platform/FileTests.h"

// A transfer cut short is continued from its .part file when the row is
// fetched again: only the rest is asked for when the server can give it, and
// the stored file is always the server's document, byte for byte.
class ResumeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_site.start());
    }

    // clang-format off
    void continuesTheCutTransfer_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("route");   // query after /ranged?size=200000&cut=120000
        QTest::addColumn<QString>("between"); // what happens between the cut and the next try
        QTest::addColumn<QByteArray>("range"); // the Range of the request that brought the file
        QTest::addColumn<int>("requests");    // requests of the next try
        QTest::addColumn<int>("version");     // the document stored

        for (const int method : {1, 2}) {
            const QByteArray m = "method " + QByteArray::number(method) + ": ";
            QTest::newRow(m + "206 after an ETag: only the rest")
                << method << "" << "" << QByteArray("bytes=120000-") << 1 << 0;
            QTest::newRow(m + "206 after a Last-Modified: only the rest")
                << method << "&validator=date" << "" << QByteArray("bytes=120000-") << 1 << 0;
            QTest::newRow(m + "chunked, no length: only the rest")
                << method << "&chunked=1&cuts=2" << "" << QByteArray("bytes=120000-") << 1 << 0;
            QTest::newRow(m + "200 to the range: the whole again")
                << method << "&ranges=0" << "" << QByteArray("bytes=120000-") << 1 << 0;
            QTest::newRow(m + "another document (If-Range): the whole new one")
                << method << "" << "change" << QByteArray("bytes=120000-") << 1 << 1;
            QTest::newRow(m + "another document, range served anyway: asked again whole")
                << method << "&ifrange=ignore" << "change" << QByteArray() << 2 << 1;
            QTest::newRow(m + "416: asked again whole")
                << method << "" << "pad" << QByteArray() << 2 << 0;
            QTest::newRow(m + "no validator: never continued")
                << method << "&validator=none" << "" << QByteArray() << 1 << 0;
        }
    }
    // clang-format on

    void continuesTheCutTransfer()
    {
        QFETCH(int, method);
        QFETCH(QString, route);
        QFETCH(QString, between);
        QFETCH(QByteArray, range);
        QFETCH(int, requests);
        QFETCH(int, version);
        constexpr qint64 kSize = 200000;
        constexpr qint64 kCut = 120000;

        EngineRig rig(method);
        const QString mark = rowMark();
        // 20000 bytes every 5 ms: the row's counts are seen while it runs.
        const QString url =
            m_site.url(QStringLiteral("/ranged?size=200000&cut=120000&piece=20000&ms=5") + route + mark);
        const quint64 id = rig.add(url, QStringLiteral("doc"));
        const QString finalPath = rig.filePath(QStringLiteral("doc.pdf"));
        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.item(id).State, Failed);
        QCOMPARE(FileLength(PartPath(finalPath)), kCut);

        const int versionBefore = m_site.rangedVersion();
        if (between == QLatin1String("change"))
            m_site.changeRangedDocuments();
        if (between == QLatin1String("pad")) // a .part file longer than the document
            QVERIFY(writeFile(PartPath(finalPath), FixtureSite::rangedBody(kSize + 10, versionBefore)));

        // The reset of failed rows keeps a .part file that can be continued.
        QCOMPARE(ResetFailedItems(rig.engine.list()), 1);
        QCOMPARE(QFile::exists(PartPath(finalPath)), route != QLatin1String("&validator=none"));

        // Resumed bytes count as downloaded from the first count on.
        qint64 firstCount = -1;
        connect(&rig.engine.list(), &QAbstractItemModel::dataChanged, this, [&] {
            const DownloadItem &item = rig.item(id);
            if (firstCount < 0 && item.State == Downloading && item.Downloaded.value_or(0) > 0)
                firstCount = *item.Downloaded;
        });
        const int before = requestsMarked(m_site, mark);
        rig.tick();
        QVERIFY(rig.waitIdle());

        QCOMPARE(rig.item(id).State, Finished);
        QCOMPARE(readFile(finalPath), FixtureSite::rangedBody(kSize, versionBefore + version));
        QCOMPARE(SizeText(rig.item(id).Size), QString::number(kSize));
        QCOMPARE(ProgressText(rig.item(id).Progress), QStringLiteral("100%"));
        QCOMPARE(requestsMarked(m_site, mark) - before, requests);
        const FixtureSite::Request first = lastMarked(mark, requests);
        const FixtureSite::Request last = lastMarked(mark, 1);
        QCOMPARE(last.header("Range"), range);
        if (between != QLatin1String("pad") && route != QLatin1String("&validator=none"))
            QVERIFY(!first.header("If-Range").isEmpty());
        const bool appended =
            range == "bytes=120000-" && !route.contains(QLatin1String("ranges=0")) && between.isEmpty();
        if (route.contains(QLatin1String("chunked"))) // no length: no counts while it runs
            QCOMPARE(firstCount, qint64(-1));
        else if (appended)
            QVERIFY2(firstCount >= kCut, qPrintable(QString::number(firstCount)));
        else
            QVERIFY2(firstCount < kCut, qPrintable(QString::number(firstCount)));
        QVERIFY(!QFile::exists(PartPath(finalPath)));
        QVERIFY(!QFile::exists(ValidatorPath(finalPath)));
    }

    // An error answer (a busy server) to the ranged request leaves the
    // .part file as it was; the try after it still asks only for the rest.
    // clang-format off
    void errorAnswerKeepsThePart_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("method 1") << 1;
        QTest::newRow("method 2") << 2;
    }
    // clang-format on

    void errorAnswerKeepsThePart()
    {
        QFETCH(int, method);
        EngineRig rig(method);
        const QString finalPath = rig.filePath(QStringLiteral("doc.pdf"));
        bool busy = false;
        m_site.addRoute("/sometimes-busy", [&busy](const FixtureSite::Request &request) {
            FixtureSite::Response response;
            response.headers.append(QPair<QByteArray, QByteArray>("ETag", "\"one\""));
            response.headers.append(QPair<QByteArray, QByteArray>("Content-Type", "application/pdf"));
            if (busy) {
                response.status = 503;
                response.headers.append(QPair<QByteArray, QByteArray>("Retry-After", "1"));
                return response;
            }
            const QByteArray whole = FixtureSite::rangedBody(50000);
            const QByteArray range = request.header("Range");
            if (range.isEmpty()) {
                response.body = whole;
                return response;
            }
            const qint64 from = range.mid(6, range.size() - 7).toLongLong();
            response.status = 206;
            response.headers.append(
                QPair<QByteArray, QByteArray>("Content-Range", "bytes " + QByteArray::number(from) + "-49999/50000"));
            response.body = whole.mid(from);
            return response;
        });
        const QByteArray kept = FixtureSite::rangedBody(20000);
        QVERIFY(writeFile(PartPath(finalPath), kept));
        const QString url = m_site.url(QStringLiteral("/sometimes-busy"));
        KeepValidator(finalPath, url, "\"one\"", QByteArray());
        const quint64 id = rig.add(url, QStringLiteral("doc"));

        busy = true;
        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.item(id).State, Failed);
        QCOMPARE(readFile(PartPath(finalPath)), kept);

        busy = false;
        ResetFailedItems(rig.engine.list());
        rig.clock.advance(5); // past the server's wait
        m_site.clearRequests();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.item(id).State, Finished);
        QCOMPARE(readFile(finalPath), FixtureSite::rangedBody(50000));
        QCOMPARE(m_site.requestsTo("/sometimes-busy").size(), 1);
        QCOMPARE(m_site.requestsTo("/sometimes-busy").first().header("Range"), QByteArray("bytes=20000-"));
    }

    // A server that cannot be reached takes nothing of the kept bytes.
    // clang-format off
    void unreachableServerKeepsThePart_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("method 1") << 1;
        QTest::newRow("method 2") << 2;
    }
    // clang-format on

    void unreachableServerKeepsThePart()
    {
        QFETCH(int, method);
        EngineRig rig(method);
        const QString finalPath = rig.filePath(QStringLiteral("doc.pdf"));
        const QString url = QStringLiteral("http://127.0.0.1:%1/doc.pdf").arg(FixtureSite::closedPort());
        const QByteArray kept = FixtureSite::rangedBody(10000);
        QVERIFY(writeFile(PartPath(finalPath), kept));
        KeepValidator(finalPath, url, "\"v\"", QByteArray());
        const quint64 id = rig.add(url, QStringLiteral("doc"));
        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.item(id).State, Failed);
        QCOMPARE(readFile(PartPath(finalPath)), kept);
        QVERIFY(ResumePointFor(finalPath, url).isResume());
    }

    // Bytes another address left under the same file name are never
    // continued, even when its server's validator would match.
    // clang-format off
    void anotherAddressNeverContinues_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("method 1") << 1;
        QTest::newRow("method 2") << 2;
    }
    // clang-format on

    void anotherAddressNeverContinues()
    {
        QFETCH(int, method);
        EngineRig rig(method);
        const QString finalPath = rig.filePath(QStringLiteral("doc.pdf"));
        const QString url = m_site.url(QStringLiteral("/ranged?size=30000&other=") + QString::number(method));
        QVERIFY(writeFile(PartPath(finalPath), QByteArray(10000, 'z')));
        KeepValidator(finalPath, m_site.url(QStringLiteral("/elsewhere")),
                      "\"doc-" + QByteArray::number(m_site.rangedVersion()) + "-30000\"", QByteArray());
        const quint64 id = rig.add(url, QStringLiteral("doc"));
        m_site.clearRequests();
        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.item(id).State, Finished);
        QCOMPARE(m_site.requests().size(), 1);
        QCOMPARE(m_site.requests().first().header("Range"), QByteArray());
        QCOMPARE(readFile(finalPath), FixtureSite::rangedBody(30000, m_site.rangedVersion()));
    }

    // The size limit counts the whole document, not the rest asked for;
    // nothing of it is kept.
    // clang-format off
    void sizeLimitCountsTheWhole_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("method 1") << 1;
        QTest::newRow("method 2") << 2;
    }
    // clang-format on

    void sizeLimitCountsTheWhole()
    {
        QFETCH(int, method);
        EngineRig rig(method);
        rig.settings.MaxFileSizeMB = 0.1; // 104857 bytes
        const QString finalPath = rig.filePath(QStringLiteral("doc.pdf"));
        QVERIFY(writeFile(PartPath(finalPath), FixtureSite::rangedBody(120000)));
        const QString url = m_site.url(QStringLiteral("/ranged?size=200000&limit=") + QString::number(method));
        KeepValidator(finalPath, url, "\"doc-" + QByteArray::number(m_site.rangedVersion()) + "-200000\"",
                      QByteArray());
        const quint64 id = rig.add(url, QStringLiteral("doc"));
        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(ProgressText(rig.item(id).Progress), EngineText::kLargeFileSkipped);
        QVERIFY(!QFile::exists(finalPath));
        QVERIFY(!QFile::exists(PartPath(finalPath)));
        QVERIFY(!QFile::exists(ValidatorPath(finalPath)));
    }

private:
    // The n-th last request of the row's mark.
    FixtureSite::Request lastMarked(const QString &mark, int n) const
    {
        const QList<FixtureSite::Request> all = m_site.requests();
        for (qsizetype i = all.size() - 1; i >= 0; --i) {
            if (all[i].target.endsWith(mark.toLatin1()) && --n == 0)
                return all[i];
        }
        return {};
    }

    FixtureSite m_site;
};

QTEST_GUILESS_MAIN(ResumeTest)
#include "tst_resume.moc"
