#include "engine/PoliteWaits.h"
#include "engine/Resume.h"
#include "engine/ServerFileName.h"

#include <QtTest>

// The readers of the reply headers the polite and continued transfers use.
class PoliteRulesTest : public QObject
{
    Q_OBJECT

private slots:
    // clang-format off
    void retryAfter_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<double>("seconds");
        const QByteArray date = "Wed, 21 Oct 2026 07:28:00 GMT";
        QTest::newRow("seconds") << QByteArray("120") << QByteArray() << 120.0;
        QTest::newRow("zero") << QByteArray("0") << QByteArray() << 0.0;
        QTest::newRow("over an hour: capped") << QByteArray("86400") << QByteArray() << 3600.0;
        QTest::newRow("date from the reply's Date") << QByteArray("Wed, 21 Oct 2026 07:28:45 GMT") << date << 45.0;
        QTest::newRow("date, RFC 850 form") << QByteArray("Wednesday, 21-Oct-26 07:29:00 GMT") << date << 60.0;
        QTest::newRow("date, asctime form") << QByteArray("Wed Oct 21 07:28:10 2026") << date << 10.0;
        QTest::newRow("date a day later: capped") << QByteArray("Thu, 22 Oct 2026 07:28:00 GMT") << date << 3600.0;
        QTest::newRow("date in the past") << QByteArray("Wed, 21 Oct 2026 07:00:00 GMT") << date << 0.0;
        QTest::newRow("negative") << QByteArray("-5") << QByteArray() << -1.0;
        QTest::newRow("garbage") << QByteArray("soon") << QByteArray() << -1.0;
        QTest::newRow("absent") << QByteArray() << QByteArray() << -1.0;
    }
    // clang-format on

    void retryAfter()
    {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, date);
        QFETCH(double, seconds);
        const QDateTime farAway(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC); // the reply's Date wins
        QCOMPARE(RetryAfterSeconds(value, date, farAway), seconds);
    }

    // Without a Date in the reply, a date counts from the local clock.
    void retryAfterWithoutReplyDate()
    {
        const QDateTime now(QDate(2026, 10, 21), QTime(7, 28), Qt::UTC);
        QCOMPARE(RetryAfterSeconds("Wed, 21 Oct 2026 07:28:30 GMT", QByteArray(), now), 30.0);
    }

    // The spread stays within half and one and a half of min(2^k, 600).
    void backoffBounds()
    {
        QRandomGenerator random(11);
        for (int failures = 1; failures <= 40; ++failures) {
            const double base = std::min(std::pow(2.0, failures), 600.0);
            for (int draw = 0; draw < 50; ++draw) {
                const double wait = BackoffSeconds(failures, random);
                QVERIFY(wait >= 0.5 * base && wait < 1.5 * base);
            }
        }
        QCOMPARE(BackoffSeconds(0, random), 0.0);
    }

    // clang-format off
    void contentDisposition_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QString>("name");
        QTest::newRow("quoted") << QByteArray("attachment; filename=\"paper one.pdf\"") << "paper one.pdf";
        QTest::newRow("token") << QByteArray("attachment; filename=paper.pdf") << "paper.pdf";
        QTest::newRow("filename* before filename")
            << QByteArray("attachment; filename=\"fallback.pdf\"; filename*=UTF-8''%E8%AE%BA%E6%96%87.pdf")
            << QStringLiteral("论文.pdf");
        QTest::newRow("filename* in Latin-1") << QByteArray("inline; filename*=iso-8859-1'en'caf%E9.pdf")
                                              << QStringLiteral("café.pdf");
        QTest::newRow("escaped quote") << QByteArray("attachment; filename=\"a\\\"b.pdf\"") << "a\"b.pdf";
        QTest::newRow("path: last segment only") << QByteArray("attachment; filename=\"../../etc/x.pdf\"") << "x.pdf";
        QTest::newRow("Windows path") << QByteArray("attachment; filename=\"C:\\\\temp\\\\y.pdf\"") << "y.pdf";
        QTest::newRow("bad UTF-8 in filename*: filename") << QByteArray("attachment; filename*=UTF-8''%FF.pdf; filename=z.pdf")
                                                          << "z.pdf";
        QTest::newRow("no file name") << QByteArray("inline") << "";
    }
    // clang-format on

    void contentDisposition()
    {
        QFETCH(QByteArray, header);
        QFETCH(QString, name);
        QCOMPARE(ContentDispositionFileName(header), name);
    }

    // clang-format off
    void splitServerName_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::newRow("name and type") << "paper.PDF" << "paper" << "PDF";
        QTest::newRow("forbidden characters cleaned") << "a:b*c.pdf" << "abc" << "pdf";
        QTest::newRow("no type") << "report" << "report" << "";
        QTest::newRow("only dots") << "..." << "" << "";
    }
    // clang-format on

    void splitServerName()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, name);
        QFETCH(QString, type);
        const ServerName split = SplitServerFileName(fileName);
        QCOMPARE(split.name, name);
        QCOMPARE(split.type, type);
    }

    // clang-format off
    void contentRange_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("total");
        QTest::newRow("range of a known total") << QByteArray("bytes 100-199/200") << qint64(100) << qint64(200);
        QTest::newRow("unknown total") << QByteArray("bytes 100-199/*") << qint64(100) << qint64(-1);
        QTest::newRow("total shorter than the range") << QByteArray("bytes 100-199/150") << qint64(100) << qint64(-1);
        QTest::newRow("unsatisfied") << QByteArray("bytes */200") << qint64(-1) << qint64(-1);
        QTest::newRow("other unit") << QByteArray("items 1-2/3") << qint64(-1) << qint64(-1);
    }
    // clang-format on

    void contentRange()
    {
        QFETCH(QByteArray, value);
        QFETCH(qint64, first);
        QFETCH(qint64, total);
        const ContentRange range = ParseContentRange(value);
        QCOMPARE(range.first, first);
        QCOMPARE(range.total, total);
    }
};

QTEST_GUILESS_MAIN(PoliteRulesTest)
#include "tst_polite_rules.moc"
