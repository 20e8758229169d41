#include "EngineRig.h"

#include "engine/EngineTexts.h"
#include "engine/PoliteWaits.h"
#include "engine/RowTexts.h"

// A busy server is left alone for the time it asked; other servers go on.
// Rows that keep failing come back after growing, spread waits.
class PoliteWaitsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_site.start());
        QVERIFY(m_other.start());
    }

    // clang-format off
    void busyServerIsLeftAlone_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("busy");
        for (const int method : {1, 2}) {
            const QByteArray m = "method " + QByteArray::number(method) + ": ";
            QTest::newRow(m + "429, seconds") << method << "/busy?code=429&after=30";
            QTest::newRow(m + "503, HTTP date") << method << "/busy?code=503&date=30";
        }
    }
    // clang-format on

    void busyServerIsLeftAlone()
    {
        QFETCH(int, method);
        QFETCH(QString, busy);
        EngineRig rig(method);
        rig.engine.options().threadCount = 1;
        const QString mark = rowMark();
        const quint64 refused = rig.add(m_site.url(busy + mark), QStringLiteral("busy"));
        const quint64 sameServer = rig.add(m_site.url(QStringLiteral("/pdf?size=1000") + mark), QStringLiteral("same"));
        const quint64 otherServer =
            rig.add(m_other.url(QStringLiteral("/pdf?size=1000") + mark), QStringLiteral("other"));
        m_site.clearRequests();

        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.item(refused).State, Failed);
        QCOMPARE(SizeText(rig.item(refused).Size),
                 EngineText::kWaitingToRetryPrefix + "30" + EngineText::kWaitingToRetrySuffix);
        const QByteArray agent = m_site.requests().first().header("User-Agent");
        QVERIFY2(agent.startsWith("Paperdrift/"), agent.constData());

        // The other server's row goes on; the busy server gets no request.
        for (int second = 1; second <= 28; ++second) {
            rig.tick();
            QVERIFY(rig.waitIdle());
        }
        rig.engine.SupervisorTick();
        QCOMPARE(rig.item(otherServer).State, Finished);
        QCOMPARE(rig.item(sameServer).State, Waiting);
        QCOMPARE(m_site.requests().size(), 1);
        QCOMPARE(SizeText(rig.item(refused).Size),
                 EngineText::kWaitingToRetryPrefix + "2" + EngineText::kWaitingToRetrySuffix);

        // Its time has passed: the row goes, and the refused row's size
        // cell says what it said before.
        rig.clock.advance(1.5);
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.item(sameServer).State, Finished);
        QCOMPARE(m_site.requests().size(), 2);
        rig.engine.SupervisorTick();
        QVERIFY(!SizeText(rig.item(refused).Size).startsWith(EngineText::kWaitingToRetryPrefix));
    }

    // The automatic re-download tries a failing row again only after its
    // wait: min(2^k, 600) s for k failures in a row, spread by the seeded
    // generator; a success forgets the failures.
    void failingRowBacksOff()
    {
        EngineRig rig(2);
        rig.engine.options().autoRetry = true;
        rig.engine.politeWaits().seed(7);
        QRandomGenerator expected(7);
        bool failing = true;
        m_site.addRoute("/flaky", [&failing](const FixtureSite::Request &) {
            FixtureSite::Response response;
            response.status = failing ? 500 : 200;
            response.headers.append(QPair<QByteArray, QByteArray>("Content-Type", "application/pdf"));
            response.body = FixtureSite::pdfBody(failing ? 10 : 2000);
            return response;
        });
        const quint64 id = rig.add(m_site.url(QStringLiteral("/flaky")), QStringLiteral("flaky"));
        rig.engine.start();

        for (int failures = 1; failures <= 4; ++failures) {
            m_site.clearRequests();
            rig.tick();
            QVERIFY(rig.waitIdle());
            QCOMPARE(m_site.requests().size(), 1);
            QCOMPARE(rig.item(id).State, Failed);
            QCOMPARE(rig.engine.politeWaits().failuresInARow(id), failures);
            const double wait = BackoffSeconds(failures, expected);
            QCOMPARE(rig.engine.politeWaits().rowFreeAt(id), rig.clock.seconds() + wait);

            rig.engine.SupervisorTick(); // the list has ended: the failed row waits again
            QCOMPARE(rig.item(id).State, Waiting);
            QVERIFY(SizeText(rig.item(id).Size).startsWith(EngineText::kWaitingToRetryPrefix));
            rig.clock.advance(wait - 1.01);
            rig.engine.SchedulingTick();
            QCOMPARE(rig.engine.CountLoadedWorkers(), 1); // nothing started
            QCOMPARE(rig.item(id).State, Waiting);
            rig.clock.advance(0.02); // the wait is over at the next tick
        }
        failing = false;
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.item(id).State, Finished);
        QCOMPARE(rig.engine.politeWaits().failuresInARow(id), 0);
        QCOMPARE(rig.engine.politeWaits().rowFreeAt(id), 0.0);
    }

private:
    FixtureSite m_site;
    FixtureSite m_other; // another server: another port
};

QTEST_GUILESS_MAIN(PoliteWaitsTest)
#include "tst_polite_waits.moc"
