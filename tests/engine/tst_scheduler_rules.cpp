// The scheduler's rules over fake transfers: which rows start, when, in
// which slot, and what the engine does when a transfer ends or is stopped.
#include "FakeEngineRig.h"
#include "ListStates.h"

#include "engine/EngineTexts.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(ItemState)

class SchedulerRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // clang-format off
    void emptyListSwitchesOffWithoutATransfer_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("method one") << 1;
        QTest::newRow("method two") << 2;
    }
    // clang-format on
    void emptyListSwitchesOffWithoutATransfer()
    {
        QFETCH(int, method);
        FakeEngineRig rig(method);
        rig.engine.start();
        rig.tick();
        QVERIFY(!rig.engine.downloadingOn());
        QVERIFY(!rig.single()->isRunning());
        QCOMPARE(rig.engine.CountLoadedWorkers(), 1);
    }

    // The next start waits more than the interval after the last end,
    // whatever the outcome; the end sets LastFinishTime once.
    // clang-format off
    void intervalAfterTheLastEnd_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("interval");
        QTest::newRow("method one, 10 s") << 1 << 10;
        QTest::newRow("method one, 0 s") << 1 << 0;
        QTest::newRow("method two, 10 s") << 2 << 10;
        QTest::newRow("method two, 0 s") << 2 << 0;
    }
    // clang-format on
    void intervalAfterTheLastEnd()
    {
        QFETCH(int, method);
        QFETCH(int, interval);
        FakeEngineRig rig(method);
        rig.engine.options().intervalSeconds = interval;
        rig.clock.advance(interval);
        const quint64 first = rig.add(QStringLiteral("A"));
        const quint64 second = rig.add(QStringLiteral("B"));
        QSignalSpy ended(&rig.engine, &DownloadEngine::transferEnded);
        rig.engine.start();
        rig.tick();
        QCOMPARE(rig.item(first).State, Downloading);
        FakeTransfer *transfer = method == 1 ? rig.single() : rig.worker(1);
        QVERIFY(transfer && transfer->isRunning());
        QCOMPARE(transfer->jobs.last().itemId, first);

        transfer->finish(TransferOutcome::Stalled);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.last().at(1).value<TransferOutcome>(), TransferOutcome::Stalled);
        QVERIFY(rig.engine.values().DownloadRunning == (method == 2)); // the supervisor brings method two up to date
        const double end = rig.engine.values().LastFinishTime;
        QCOMPARE(end, rig.clock.seconds());

        rig.clock.set(end + interval);
        rig.engine.SchedulingTick();
        QCOMPARE(rig.item(second).State, Waiting);
        rig.clock.set(end + interval + 1);
        rig.engine.SchedulingTick();
        QCOMPARE(rig.item(second).State, Downloading);
    }

    // Method two fills every free slot up to the thread count in one tick;
    // a slot freed by an end is filled at the next tick.
    void slotsFillAndRefill()
    {
        FakeEngineRig rig(2);
        rig.engine.options().threadCount = 3;
        for (int n = 1; n <= 5; ++n)
            rig.add(QString::number(n));
        rig.engine.start();
        rig.tick();
        QCOMPARE(rig.engine.CountLoadedWorkers(), 4);
        QCOMPARE(statesOf(rig.engine.list()),
                 (QList<ItemState>{Downloading, Downloading, Downloading, Waiting, Waiting}));
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(rig.worker(k)->jobs.first().targetPath, rig.folder.filePath(QString::number(k) + ".pdf"));

        rig.worker(2)->finish(TransferOutcome::Completed, 1000, 1000);
        QCOMPARE(rig.engine.CountLoadedWorkers(), 3);
        QCOMPARE(ProgressText(rig.engine.list().at(1).Progress), QStringLiteral("100%"));
        rig.tick();
        QCOMPARE(rig.engine.CountLoadedWorkers(), 4);
        QCOMPARE(rig.worker(2)->jobs.first().itemId, rig.engine.list().at(3).Id);
        QCOMPARE(rig.engine.list().at(4).State, Waiting);
    }

    // A worker's end, by its typed outcome: the row's state and words, and
    // the end steps (sounds) only after a completion.
    // clang-format off
    void workerOutcomes_data()
    {
        QTest::addColumn<TransferOutcome>("outcome");
        QTest::addColumn<qint64>("read");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<ItemState>("state");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<QList<int>>("sounds");
        QTest::newRow("complete") << TransferOutcome::Completed << qint64(500) << qint64(500) << Finished << "100%"
                                  << QList<int>{};
        QTest::newRow("complete, short") << TransferOutcome::CompletedShort << qint64(400) << qint64(500) << Failed
                                         << "80%" << QList<int>{SoundNumber::ItemFailed};
        QTest::newRow("fetched whole") << TransferOutcome::FetchedWhole << qint64(7) << qint64(7) << Finished
                                       << "100%" << QList<int>{};
        QTest::newRow("too large") << TransferOutcome::TooLarge << qint64(0) << qint64(0) << Finished
                                   << EngineText::kLargeFileSkipped << QList<int>{};
        QTest::newRow("timed out") << TransferOutcome::Stalled << qint64(0) << qint64(0) << Failed << ""
                                   << QList<int>{};
        QTest::newRow("cannot download") << TransferOutcome::CannotDownload << qint64(0) << qint64(0) << Failed << ""
                                         << QList<int>{};
    }
    // clang-format on
    void workerOutcomes()
    {
        QFETCH(TransferOutcome, outcome);
        QFETCH(qint64, read);
        QFETCH(qint64, total);
        QFETCH(ItemState, state);
        QFETCH(QString, progress);
        QFETCH(QList<int>, sounds);
        FakeEngineRig rig(2);
        rig.engine.options().soundOn = true;
        const quint64 id = rig.add(QStringLiteral("A"));
        QSignalSpy ended(&rig.engine, &DownloadEngine::transferEnded);
        QSignalSpy panel2(&rig.engine, &DownloadEngine::panel2TextChanged);
        rig.engine.start();
        rig.tick();
        QPointer<FakeTransfer> worker = rig.worker(1);
        worker->finish(outcome, read, total);
        worker->finish(outcome, read, total); // a late second report is ignored

        QCOMPARE(rig.item(id).State, state);
        QCOMPARE(ProgressText(rig.item(id).Progress), progress);
        QCOMPARE(rig.sounds.numbers(), sounds);
        QCOMPARE(ended.count(), 1);
        const bool completion = outcome == TransferOutcome::Completed || outcome == TransferOutcome::CompletedShort
                                || outcome == TransferOutcome::FetchedWhole;
        QCOMPARE(panel2.count(), completion ? 1 : 0);
        QVERIFY(!rig.engine.IsControlLoaded(1));
    }

    // A worker holds itself to the size limit its job carries: the engine
    // passes the limit in force, shows the counts the worker reported, and
    // its end over the limit keeps them beside the word.
    void workerOverTheLimit()
    {
        FakeEngineRig rig(2);
        const quint64 id = rig.add(QStringLiteral("A"));
        rig.engine.start();
        rig.tick();
        QCOMPARE(rig.worker(1)->jobs.first().sizeLimitMB, 10.0);
        rig.worker(1)->progress(1000, 10 * 1024 * 1024 + 1);
        QCOMPARE(ProgressText(rig.item(id).Progress), QStringLiteral("0%"));
        QCOMPARE(SizeText(rig.item(id).Size), QStringLiteral("10485761"));
        QVERIFY(rig.engine.IsControlLoaded(1));
        rig.worker(1)->finish(TransferOutcome::TooLarge, 1000, 10 * 1024 * 1024 + 1);
        QVERIFY(!rig.engine.IsControlLoaded(1));
        QCOMPARE(rig.item(id).State, Finished);
        QCOMPARE(ProgressText(rig.item(id).Progress), EngineText::kLargeFileSkipped);
        QCOMPARE(DownloadedText(rig.item(id).Downloaded), QStringLiteral("1000"));
        QCOMPARE(SizeText(rig.item(id).Size), QStringLiteral("10485761"));
    }

    // Under "跳过" rows whose files exist finish without a transfer.
    // clang-format off
    void skipStartsNoTransfer_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("method one") << 1;
        QTest::newRow("method two") << 2;
    }
    // clang-format on
    void skipStartsNoTransfer()
    {
        QFETCH(int, method);
        FakeEngineRig rig(method);
        rig.engine.options().sameNamePolicy = SameNamePolicy::Skip;
        rig.engine.options().threadCount = 6;
        QVERIFY(writeFile(rig.folder.filePath("A.pdf"), "aaa"));
        const quint64 existing = rig.add(QStringLiteral("A"));
        const quint64 missing = rig.add(QStringLiteral("B"));
        rig.engine.start();
        rig.tick();
        QCOMPARE(ProgressText(rig.item(existing).Progress), EngineText::kExistsSkipped);
        QCOMPARE(SizeText(rig.item(existing).Size), QStringLiteral("3"));
        QCOMPARE(rig.item(missing).State, Downloading);
        const FakeTransfer *transfer = method == 1 ? rig.single() : rig.worker(1);
        QCOMPARE(transfer->jobs.size(), 1);
        QCOMPARE(transfer->jobs.first().itemId, missing);
    }

    // The stop command cancels every transfer; each reports its end as
    // cancelled, and its row fails as its method leaves it: method one with
    // "下载取消" after its end steps (LastFinishTime is the stop), a worker
    // with the counts it last showed (LastFinishTime stays the last end of a
    // transfer of its own).
    // clang-format off
    void stopCancelsEveryTransfer_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("running");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<bool>("finishTimeIsTheStop");
        QTest::newRow("method one") << 1 << 1 << EngineText::kCancelled << true;
        QTest::newRow("method two, three workers") << 2 << 3 << "30%" << false;
    }
    // clang-format on
    void stopCancelsEveryTransfer()
    {
        QFETCH(int, method);
        QFETCH(int, running);
        QFETCH(QString, progress);
        QFETCH(bool, finishTimeIsTheStop);
        FakeEngineRig rig(method);
        rig.engine.options().threadCount = 3;
        for (int n = 1; n <= 4; ++n)
            rig.add(QString::number(n));
        const double loaded = rig.engine.values().LastFinishTime;
        rig.engine.start();
        rig.tick();
        QVERIFY(rig.engine.values().DownloadRunning);
        FakeTransfer *first = method == 1 ? rig.single() : rig.worker(1);
        first->progress(300, 1000);
        QSignalSpy ended(&rig.engine, &DownloadEngine::transferEnded);
        QSignalSpy panel2(&rig.engine, &DownloadEngine::panel2TextChanged);
        rig.clock.advance(5);
        rig.engine.stop();
        QCOMPARE(ended.count(), running);
        for (const QList<QVariant> &end : ended)
            QCOMPARE(end.at(1).value<TransferOutcome>(), TransferOutcome::Cancelled);
        QVERIFY(!rig.engine.transfersRunning());
        QVERIFY(!rig.engine.values().DownloadRunning);
        QCOMPARE(rig.engine.list().countStates().failed, running);
        QCOMPARE(rig.engine.list().countStates().waiting, 4 - running);
        const DownloadItem &stopped = rig.engine.list().at(0);
        QCOMPARE(ProgressText(stopped.Progress), progress);
        QCOMPARE(DownloadedText(stopped.Downloaded), QStringLiteral("300"));
        QCOMPARE(panel2.count(), method == 1 ? 1 : 0);
        QCOMPARE(rig.engine.values().LastFinishTime, finishTimeIsTheStop ? rig.clock.seconds() : loaded);
    }

    // The error stop switches downloading off after the fifth failure, with
    // the end sound 102 when sound is on.
    // clang-format off
    void errorStopPlaysTheEndSound_data()
    {
        QTest::addColumn<bool>("soundOn");
        QTest::addColumn<QList<int>>("sounds");
        QTest::newRow("sound on") << true << QList<int>{SoundNumber::ListEnded};
        QTest::newRow("sound off") << false << QList<int>{};
    }
    // clang-format on
    void errorStopPlaysTheEndSound()
    {
        QFETCH(bool, soundOn);
        QFETCH(QList<int>, sounds);
        FakeEngineRig rig(2);
        rig.engine.options().threadCount = 5;
        rig.engine.options().errorStop = true;
        for (int n = 1; n <= 6; ++n)
            rig.add(QString::number(n));
        rig.engine.start();
        rig.tick();
        for (int k = 1; k <= 4; ++k)
            rig.worker(k)->finish(TransferOutcome::Stalled);
        rig.engine.options().soundOn = soundOn;
        rig.engine.SupervisorTick();
        QVERIFY(rig.engine.downloadingOn());
        rig.worker(5)->finish(TransferOutcome::CannotDownload);
        rig.engine.SupervisorTick();
        QVERIFY(!rig.engine.downloadingOn());
        QCOMPARE(rig.sounds.numbers(), sounds);
    }

    // The method switch takes effect at the next start: the switch is not
    // refused while downloading, but method one then waits for
    // DownloadRunning, which method two keeps true while downloading is on.
    void methodSwitchBetweenRuns()
    {
        FakeEngineRig rig(2);
        const quint64 first = rig.add(QStringLiteral("A"));
        const quint64 second = rig.add(QStringLiteral("B"));
        rig.engine.start();
        rig.tick();
        QCOMPARE(rig.worker(1)->jobs.first().itemId, first);
        rig.worker(1)->finish(TransferOutcome::Completed);
        rig.engine.switchMethod();
        rig.tick();
        QVERIFY(!rig.single()->isRunning());
        rig.engine.stop();
        rig.engine.start();
        rig.tick();
        QCOMPARE(rig.engine.CountLoadedWorkers(), 1);
        QVERIFY(rig.single()->isRunning());
        QCOMPARE(rig.single()->jobs.first().itemId, second);
    }

    // A worker still loaded when method one starts a row (the method was
    // switched and downloading went off and on again) ends on its own row:
    // slot 1 of WorkerRows now names method one's row, and neither
    // transfer's report reaches the other's row.
    void workerLeftOverFromMethodTwoKeepsItsRow()
    {
        FakeEngineRig rig(2);
        const quint64 first = rig.add(QStringLiteral("A"));
        const quint64 second = rig.add(QStringLiteral("B"));
        rig.engine.start();
        rig.tick();
        QPointer<FakeTransfer> worker = rig.worker(1);
        rig.engine.switchMethod();
        rig.engine.values().DownloadRunning = false; // as the supervisor leaves it with downloading off
        rig.tick();
        QVERIFY(rig.single()->isRunning());
        QCOMPARE(rig.engine.values().WorkerRows[1], second);

        worker->progress(500, 1000);
        worker->finish(TransferOutcome::Completed, 1000, 1000);
        QCOMPARE(rig.item(first).State, Finished);
        QCOMPARE(ProgressText(rig.item(first).Progress), QStringLiteral("100%"));
        QCOMPARE(rig.item(second).State, Downloading);
        QVERIFY(rig.item(second).hasNoCounts());
        QCOMPARE(rig.engine.CountLoadedWorkers(), 1);

        rig.single()->finish(TransferOutcome::Completed, 700, 700);
        QCOMPARE(ProgressText(rig.item(second).Progress), QStringLiteral("100%"));
        QCOMPARE(SizeText(rig.item(first).Size), QStringLiteral("1000"));
    }

    // DownloadRunning as the supervisor keeps it: a cancel is refused while
    // it is true and allowed again once the supervisor has set it false.
    // clang-format off
    void cancelAllowedOnceDownloadRunningIsFalse_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("method one") << 1;
        QTest::newRow("method two") << 2;
    }
    // clang-format on
    void cancelAllowedOnceDownloadRunningIsFalse()
    {
        QFETCH(int, method);
        FakeEngineRig rig(method);
        rig.add(QStringLiteral("A"));
        const quint64 waiting = rig.add(QStringLiteral("B"));
        rig.engine.start();
        rig.tick();
        rig.engine.SupervisorTick();
        QVERIFY(rig.engine.values().DownloadRunning);
        QVERIFY(!rig.engine.cancelRows({1}));
        QCOMPARE(rig.prompts.messageTexts(), QStringList{EngineText::kStopBeforeSetting});

        // The transfer ends but downloading is still on: method two stays
        // "running" until the switch goes off.
        (method == 1 ? rig.single() : rig.worker(1))->finish(TransferOutcome::Completed);
        rig.engine.SupervisorTick();
        QCOMPARE(rig.engine.values().DownloadRunning, method == 2);
        rig.engine.stop();
        rig.engine.SupervisorTick();
        QVERIFY(!rig.engine.values().DownloadRunning);
        QVERIFY(rig.engine.cancelRows({1}));
        QCOMPARE(rig.item(waiting).State, Failed);
    }
};

QTEST_GUILESS_MAIN(SchedulerRulesTest)
#include "tst_scheduler_rules.moc"
