#include "EngineRig.h"
#include "ListStates.h"

#include "engine/EngineTexts.h"
#include "engine/RowTexts.h"

#include <QSignalSpy>

Q_DECLARE_METATYPE(ItemState)
Q_DECLARE_METATYPE(AutoRetryChoice)

class SchedulerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true); // sound files go to a test folder
        QVERIFY(m_site.start());
    }

    void emptyListSwitchesOff()
    {
        EngineRig rig;
        QSignalSpy switched(&rig.engine, &DownloadEngine::downloadingSwitched);
        rig.engine.start();
        QVERIFY(rig.engine.downloadingOn());
        rig.tick();
        QVERIFY(!rig.engine.downloadingOn());
        QCOMPARE(switched.count(), 2);
        QCOMPARE(switched.last().first().toBool(), false);
    }

    // Three workers fill in one tick; while they run the cancel command is
    // refused and changes nothing; the stop command leaves every downloading
    // row failed with its bytes in .part, and the waiting rows as they were.
    void parallelRunCancelAndStop()
    {
        EngineRig rig;
        rig.engine.options().threadCount = 3;
        rig.engine.options().autoStart = true;
        rig.engine.options().autoRetry = true;
        for (int n = 1; n <= 5; ++n)
            rig.add(m_site.url(QStringLiteral("/stall?size=100000&after=1000&n=%1").arg(n)), QString::number(n));
        rig.engine.start();
        rig.tick();
        QCOMPARE(rig.engine.CountLoadedWorkers(), 4);
        QCOMPARE(statesOf(rig.engine.list()),
                 (QList<ItemState>{Downloading, Downloading, Downloading, Waiting, Waiting}));
        QTRY_VERIFY_WITH_TIMEOUT(rig.engine.list().at(2).Downloaded.has_value(), EngineRig::kWaitMs);

        QVERIFY(!rig.engine.cancelRows({3, 4}));
        QCOMPARE(rig.prompts.messageTexts(), QStringList{EngineText::kStopBeforeSetting});
        QCOMPARE(rig.prompts.records.first().icon, PromptIcon::Error);
        QCOMPARE(statesOf(rig.engine.list()),
                 (QList<ItemState>{Downloading, Downloading, Downloading, Waiting, Waiting}));

        rig.engine.stop();
        QVERIFY(!rig.engine.downloadingOn());
        QVERIFY(!rig.engine.values().DownloadRunning);
        QVERIFY(!rig.engine.options().autoStart && !rig.engine.options().autoRetry);
        QCOMPARE(rig.engine.CountLoadedWorkers(), 1);
        QCOMPARE(statesOf(rig.engine.list()), (QList<ItemState>{Failed, Failed, Failed, Waiting, Waiting}));
        // What arrived stays in the .part files, nothing under the final names.
        QCOMPARE(rig.filesInFolder(), (QStringList{"1.pdf.part", "2.pdf.part", "3.pdf.part"}));
        for (const char *name : {"1.pdf.part", "2.pdf.part", "3.pdf.part"})
            QVERIFY(readFile(rig.filePath(QLatin1String(name))).startsWith("%PDF"));

        QVERIFY(rig.engine.cancelRows({0, 3}));
        QCOMPARE(statesOf(rig.engine.list()), (QList<ItemState>{Failed, Failed, Failed, Failed, Waiting}));
    }

    // The stop command in method one, with a transfer in mid-body: the
    // automatic options are unticked first, then Inet1 is cancelled and the
    // download timer goes off, and only then does the transfer, finding
    // DownloadRunning false, end itself as "下载取消". The row ends failed,
    // nothing is left under its name (what arrived is in its .part file), and
    // nothing runs any more.
    void stopMethodOneMidBody()
    {
        EngineRig rig(1);
        rig.engine.options().autoStart = true;
        rig.engine.options().autoRetry = true;
        const quint64 id =
            rig.add(m_site.url(QStringLiteral("/stall?size=100000&after=30000&row=stop")), QStringLiteral("A"));
        rig.engine.start();
        rig.tick();
        QTRY_COMPARE_WITH_TIMEOUT(DownloadedText(rig.item(id).Downloaded), QStringLiteral("30000"), EngineRig::kWaitMs);
        QVERIFY(rig.engine.values().DownloadRunning);

        QStringList steps;
        DownloadEngine &engine = rig.engine;
        QObject::connect(&engine, &DownloadEngine::optionsChanged, &engine, [&] {
            steps << QStringLiteral("options: autoStart %1 autoRetry %2")
                         .arg(engine.options().autoStart)
                         .arg(engine.options().autoRetry);
        });
        QObject::connect(&engine, &DownloadEngine::downloadingSwitched, &engine, [&](bool on) {
            steps << QStringLiteral("Timer_Down %1, Inet1 executing %2")
                         .arg(on ? "on" : "off")
                         .arg(engine.Inet1().StillExecuting());
        });
        bool rowFailed = false;
        QObject::connect(&engine.list(), &DownloadList::dataChanged, &engine, [&] {
            const DownloadItem &item = rig.item(id);
            if (item.State != Failed || std::exchange(rowFailed, true))
                return;
            steps << QStringLiteral("row failed, %1, DownloadRunning %2")
                         .arg(ProgressText(item.Progress))
                         .arg(engine.values().DownloadRunning);
        });
        QObject::connect(&engine, &DownloadEngine::transferEnded, &engine, [&](quint64, TransferOutcome outcome) {
            steps << QStringLiteral("ended, cancelled %1").arg(outcome == TransferOutcome::Cancelled);
        });

        rig.engine.stop();

        QCOMPARE(steps, (QStringList{
                            QStringLiteral("options: autoStart 0 autoRetry 0"),
                            QStringLiteral("Timer_Down off, Inet1 executing 0"),
                            QStringLiteral("row failed, 下载取消, DownloadRunning 0"),
                            QStringLiteral("ended, cancelled 1"),
                        }));
        const DownloadItem &item = rig.item(id);
        QCOMPARE(item.State, Failed);
        QCOMPARE(SizeText(item.Size), QStringLiteral("100000"));
        QCOMPARE(DownloadedText(item.Downloaded), QStringLiteral("30000"));
        QCOMPARE(ProgressText(item.Progress), EngineText::kCancelled);
        QVERIFY(!rig.engine.downloadingOn());
        QVERIFY(!rig.engine.values().DownloadRunning);
        QVERIFY(!rig.engine.singleTransfer().isRunning());
        QVERIFY(!rig.engine.Inet1().StillExecuting());
        // The bytes that arrived stay in the .part file, nothing under the name.
        QCOMPARE(rig.filesInFolder(), QStringList{QStringLiteral("A.pdf.part")});
        QCOMPARE(QFileInfo(rig.filePath(QStringLiteral("A.pdf.part"))).size(), qint64(30000));

        // Later ticks start nothing: the stopped row stays as it ended.
        rig.tick();
        rig.engine.SupervisorTick();
        QCOMPARE(rig.item(id).State, Failed);
        QVERIFY(!rig.engine.downloadingOn());
    }

    // Under "跳过" a list whose files all exist is finished in one tick
    // without a request, and the supervisor then switches downloading off
    // with the end sound.
    // clang-format off
    void skipRuleFinishesWithoutRequests_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("existing files, method one") << 1;
        QTest::newRow("existing files, method two") << 2;
    }
    // clang-format on

    void skipRuleFinishesWithoutRequests()
    {
        QFETCH(int, method);
        EngineRig rig(method);
        rig.engine.options().sameNamePolicy = SameNamePolicy::Skip;
        rig.engine.options().threadCount = 6;
        rig.engine.options().soundOn = true;
        const QString mark = rowMark();
        for (int n = 1; n <= 3; ++n) {
            QVERIFY(writeFile(rig.filePath(QStringLiteral("%1.pdf").arg(n)), QByteArray(n * 10, 'x')));
            rig.add(m_site.url(QStringLiteral("/pdf?n=%1").arg(n)) + mark, QString::number(n));
        }
        QSignalSpy finished(&rig.engine, &DownloadEngine::listFinished);
        QSignalSpy menuStart(&rig.engine, &DownloadEngine::menuStartEnabledChanged);
        rig.engine.start();
        rig.tick();
        QCOMPARE(rig.engine.CountLoadedWorkers(), 1);
        QVERIFY(!rig.engine.singleTransfer().isRunning());
        for (int row = 0; row < 3; ++row) {
            const DownloadItem &item = rig.engine.list().at(row);
            QCOMPARE(item.State, Finished);
            QCOMPARE(ProgressText(item.Progress), EngineText::kExistsSkipped);
            QCOMPARE(SizeText(item.Size), QString::number((row + 1) * 10));
        }
        QVERIFY(rig.engine.downloadingOn());

        rig.engine.SupervisorTick();
        QVERIFY(!rig.engine.downloadingOn());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(rig.sounds.numbers(), QList<int>{SoundNumber::ListEnded});
        QCOMPARE(menuStart.last().first().toBool(), true);
        QCOMPARE(requestsMarked(m_site, mark), 0);
    }

    // Automatic start counts only rows never started: a row put back to
    // waiting with "等待重新下载" does not start downloading, but is fetched
    // once downloading is on.
    // clang-format off
    void automaticStart_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<bool>("starts");
        QTest::newRow("never started") << "" << true;
        QTest::newRow("waiting to be downloaded again") << EngineText::kWaitingAgain << false;
    }
    // clang-format on

    void automaticStart()
    {
        QFETCH(QString, size);
        QFETCH(bool, starts);
        EngineRig rig;
        rig.engine.options().autoStart = true;
        const quint64 id = rig.add(m_site.url(QStringLiteral("/pdf?size=500")) + rowMark(), "A");
        rig.engine.list().updateItem(0, [&size](DownloadItem &item) { item.Size = SizeFromText(size); });

        rig.engine.SupervisorTick();
        QCOMPARE(rig.engine.downloadingOn(), starts);

        rig.engine.start();
        rig.tick();
        QVERIFY(rig.waitIdle());
        QCOMPARE(rig.item(id).State, Finished);
        QCOMPARE(ProgressText(rig.item(id).Progress), QStringLiteral("100%"));
    }

    // The error stop after five failures or web pages, and the automatic
    // re-download that runs before it in the same tick.
    // clang-format off
    void errorStop_data()
    {
        QTest::addColumn<int>("failed");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("waiting");
        QTest::addColumn<bool>("autoRetry");
        QTest::addColumn<AutoRetryChoice>("choice");
        QTest::addColumn<bool>("on");
        QTest::addColumn<int>("failedAfter");

        const auto failedItems = AutoRetryChoice::FailedItems;
        QTest::newRow("four failures: goes on") << 4 << 0 << 1 << false << failedItems << true << 4;
        QTest::newRow("five failures: stops") << 5 << 0 << 1 << false << failedItems << false << 5;
        QTest::newRow("three failures and two web pages: stops") << 3 << 2 << 1 << false << failedItems << false << 3;
        QTest::newRow("re-download resets the failures first")
            << 5 << 0 << 0 << true << failedItems << true << 0;
        QTest::newRow("re-download of failures leaves five web pages")
            << 0 << 5 << 0 << true << failedItems << false << 0;
        QTest::newRow("re-download of both resets them all")
            << 3 << 2 << 0 << true << AutoRetryChoice::Both << true << 0;
    }
    // clang-format on

    void errorStop()
    {
        QFETCH(int, failed);
        QFETCH(int, pages);
        QFETCH(int, waiting);
        QFETCH(bool, autoRetry);
        QFETCH(AutoRetryChoice, choice);
        QFETCH(bool, on);
        QFETCH(int, failedAfter);

        EngineRig rig;
        rig.engine.options().errorStop = true;
        rig.engine.options().autoRetry = autoRetry;
        rig.engine.options().autoRetryChoice = choice;
        int n = 0;
        auto addRows = [&](int count, const QString &type, ItemState state) {
            for (int i = 0; i < count; ++i, ++n)
                rig.add(QStringLiteral("http://127.0.0.1/%1").arg(n), QString::number(n), type, state);
        };
        addRows(failed, QStringLiteral("pdf"), Failed);
        addRows(pages, QStringLiteral("htm"), Finished);
        addRows(waiting, QStringLiteral("pdf"), Waiting);
        rig.engine.start();

        rig.engine.SupervisorTick();
        QCOMPARE(rig.engine.downloadingOn(), on);
        QCOMPARE(rig.engine.list().countStates().failed, failedAfter);
    }

    void switchMethod()
    {
        EngineRig rig(2);
        rig.engine.options().threadCount = 4;
        QSignalSpy changed(&rig.engine, &DownloadEngine::methodChanged);
        rig.engine.switchMethod();
        QCOMPARE(rig.settings.DownloadMethod, DownloadMethod::Single);
        QCOMPARE(rig.engine.options().threadCount, 1);
        QCOMPARE(changed.last().first().value<DownloadMethod>(), DownloadMethod::Single);
        QCOMPARE(MethodLabelText(DownloadMethod::Single), QStringLiteral("下载方式：1"));
        rig.engine.switchMethod();
        QCOMPARE(rig.settings.DownloadMethod, DownloadMethod::Parallel);
        QCOMPARE(changed.last().first().value<DownloadMethod>(), DownloadMethod::Parallel);
    }

private:
    FixtureSite m_site;
};

QTEST_GUILESS_MAIN(SchedulerTest)
#include "tst_scheduler.moc"
