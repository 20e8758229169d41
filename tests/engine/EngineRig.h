#pragma once

#include "engine/DownloadEngine.h"
#include "engine/Downloader.h"
#include "platform/Clock.h"
#include "common/SessionSettings.h"
#include "common/SameNamePolicy.h"
#include "tests/support/FixtureSite.h"
#include "tests/support/FileHelpers.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/SoundRecorder.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QtTest>

// A download engine over a real network manager and a real folder, with the
// seams faked: a manual clock, recorded prompts, recorded sounds. Its timers
// do not fire; tests call the ticks.
struct EngineRig
{
    static constexpr int kWaitMs = 20000;

    explicit EngineRig(int method = 2)
    {
        settings.DownloadMethod = DownloadMethodFromNumber(method);
        settings.MaxFileSizeMB = 100;
        engine.options().sameNamePolicy = SameNamePolicy::Rename;
        engine.setTimersRunning(false);
    }

    quint64 add(const QString &url, const QString &name, const QString &type = QStringLiteral("pdf"),
                ItemState state = Waiting, const QString &referer = QString())
    {
        DownloadItem item = NewDownloadItem({url, name, type, folder.path(), referer});
        item.State = state;
        engine.list().addItem(item);
        return engine.list().at(engine.list().rowOfUrl(url)).Id;
    }

    const DownloadItem &item(quint64 id) const { return engine.list().at(engine.list().rowOfId(id)); }
    QString filePath(const QString &fileName) const { return folder.filePath(fileName); }

    // One second later, one scheduling tick.
    void tick()
    {
        clock.advance(1);
        engine.SchedulingTick();
    }

    // Waits until no transfer of either method runs.
    bool waitIdle()
    {
        return QTest::qWaitFor(
            [this] { return !engine.singleTransfer().isRunning() && engine.CountLoadedWorkers() == 1; }, kWaitMs);
    }

    QStringList filesInFolder() const { return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden); }

    QNetworkAccessManager network;
    SessionSettings settings;
    ManualClock clock;
    PromptRecorder prompts;
    SoundRecorder sounds;
    DownloadEngine engine{settings, clock, prompts, sounds, network};
    QTemporaryDir folder;
};

// A query item naming the running test row, put at the end of an address,
// so that the site's log can be read for this row alone.
inline QString rowMark()
{
    return QStringLiteral("&row=")
           + QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(QTest::currentDataTag())));
}

// The requests the site logged whose address ends with the mark.
inline int requestsMarked(const FixtureSite &site, const QString &mark)
{
    int count = 0;
    for (const FixtureSite::Request &request : site.requests())
        count += request.target.endsWith(mark.toLatin1()) ? 1 : 0;
    return count;
}
