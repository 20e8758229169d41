// Messages the engine shows from inside a network or timer handler: the
// user leaves the box on screen for a while, the transfer goes on, and the
// transfer's decision is never entered twice.
#include "EngineRig.h"

#include "common/CommonTexts.h"
#include "engine/EngineTexts.h"
#include "engine/RowTexts.h"

#include <QSignalSpy>

namespace {

constexpr int kRuns = 50;
constexpr int kBoxOpenMs = 150; // how long a waiting box would stay up

} // namespace

class HandlerMessagesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_site.start());
    }

    // Every row's folder has a name that cleans to nothing, so the folder
    // message comes up from the transfer's decision (method one) or from
    // the scheduling tick (method two), while the response arrives.
    // clang-format off
    void folderMessageWhileTransferring_data()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("method one") << 1;
        QTest::newRow("method two") << 2;
    }
    // clang-format on
    void folderMessageWhileTransferring()
    {
        QFETCH(int, method);
        EngineRig rig(method);
        rig.prompts.answerLate(kBoxOpenMs);
        const QString badFolder = rig.folder.path() + QStringLiteral("/?\?\?/");
        QList<quint64> ids;
        for (int n = 0; n < kRuns; ++n) {
            const quint64 id = rig.add(m_site.url(QStringLiteral("/pdf?size=30000&n=%1").arg(n)), QString::number(n));
            rig.engine.list().updateItem(rig.engine.list().rowOfId(id),
                                         [&badFolder](DownloadItem &item) { item.Folder = badFolder; });
            ids.append(id);
        }
        QSignalSpy ended(&rig.engine, &DownloadEngine::transferEnded);
        rig.engine.start();
        for (int n = 0; n < kRuns; ++n) {
            rig.tick();
            QVERIFY(rig.waitIdle());
        }

        QCOMPARE(ended.count(), kRuns);
        QSet<quint64> endedIds;
        for (const QList<QVariant> &end : ended)
            endedIds.insert(end.first().toULongLong());
        QCOMPARE(endedIds.size(), kRuns);
        for (int n = 0; n < kRuns; ++n) {
            const DownloadItem &item = rig.item(ids.at(n));
            QCOMPARE(item.State, Finished);
            QCOMPARE(ProgressText(item.Progress), QStringLiteral("100%"));
            QCOMPARE(QFile(rig.filePath(QString::number(n) + QStringLiteral(".pdf"))).size(), qint64(30000));
        }
        QVERIFY(!rig.prompts.records.isEmpty());
        for (const PromptRecorder::Record &record : rig.prompts.records) {
            QCOMPARE(record.text, CommonText::kFolderNameWrong);
            QCOMPARE(record.icon, PromptIcon::Error);
            QVERIFY2(!record.waited, "a handler waited for the user");
        }
    }

private:
    FixtureSite m_site;
};

QTEST_GUILESS_MAIN(HandlerMessagesTest)
#include "tst_handler_messages.moc"
