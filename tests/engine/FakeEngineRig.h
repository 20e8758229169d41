#pragma once

#include "FakeTransfer.h"

#include "common/SessionSettings.h"
#include "engine/DownloadEngine.h"
#include "engine/RowTexts.h"
#include "platform/Clock.h"
#include "tests/support/FileHelpers.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/SoundRecorder.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>

// A download engine whose transfers are fakes the test drives, its timers
// off, with a manual clock, recorded prompts and sounds, and a folder of
// real files for the rows. The scheduler's rules and the list commands are
// tried on it.
struct FakeEngineRig
{
    explicit FakeEngineRig(int method = 1)
    {
        settings.DownloadMethod = DownloadMethodFromNumber(method);
        settings.MaxFileSizeMB = 10;
        engine.setTimersRunning(false);
    }

    DownloadList &list() { return engine.list(); }

    // Appends a row named `name` stored in the rig's folder; its size,
    // downloaded and progress cells as the list shows them ("1000", "37%",
    // "未知"). Returns its identity.
    quint64 add(const QString &name, ItemState state = Waiting, const QString &type = QStringLiteral("pdf"),
                const QString &size = QString(), const QString &downloaded = QString(),
                const QString &progress = QString())
    {
        DownloadItem item =
            NewDownloadItem({QStringLiteral("http://127.0.0.1/") + name, name, type, folder.path(), QString()});
        item.State = state;
        item.Size = SizeFromText(size);
        item.Downloaded = DownloadedFromText(downloaded);
        item.Progress = ProgressFromText(progress);
        engine.list().addItem(item);
        return engine.list().at(engine.list().count() - 1).Id;
    }
    const DownloadItem &item(quint64 id) const { return engine.list().at(engine.list().rowOfId(id)); }

    // One second later, one scheduling tick.
    void tick()
    {
        clock.advance(1);
        engine.SchedulingTick();
    }
    FakeTransfer *worker(int k) const { return qobject_cast<FakeTransfer *>(engine.worker(k)); }
    FakeTransfer *single() const { return made.isEmpty() ? nullptr : made.first().data(); }

    // Writes a file of the given length (or a single byte) in the folder.
    QString touch(const QString &fileName, qint64 length = 1)
    {
        const QString path = folder.filePath(fileName);
        writeFile(path, QByteArray(length, 'x'));
        return path;
    }
    bool exists(const QString &fileName) const { return QFile::exists(folder.filePath(fileName)); }

    QStringList names()
    {
        QStringList names;
        for (int row = 0; row < list().count(); ++row)
            names << list().at(row).Name;
        return names;
    }

    QList<QPointer<FakeTransfer>> made;
    QNetworkAccessManager network;
    SessionSettings settings;
    ManualClock clock;
    PromptRecorder prompts;
    SoundRecorder sounds;
    QTemporaryDir folder;
    DownloadEngine engine{
        settings, clock, prompts, sounds, network, nullptr, [this](DownloadEngine::Method method, int slot) {
            auto *transfer = new FakeTransfer(method == DownloadEngine::Method::Single, slot);
            made.append(transfer);
            return transfer;
        }};
};
