#pragma once

#include "common/SessionSettings.h"
#include "engine/DownloadEngine.h"
#include "platform/Clock.h"
#include "tests/engine/FakeTransfer.h"
#include "tests/support/FileHelpers.h"
#include "tests/support/PromptRecorder.h"
#include "tests/support/SoundRecorder.h"

#include <QNetworkAccessManager>
#include <QStringList>
#include <QTemporaryDir>

// A download engine with fake transfers, its timers off, recorded prompts and
// a folder of real files for the rows.
struct CommandRig
{
    CommandRig()
    {
        settings.DownloadMethod = DownloadMethod::Single;
        engine.setTimersRunning(false);
    }

    DownloadList &list() { return engine.list(); }

    // Appends a row named `name` stored in the rig's folder.
    void add(const QString &name, ItemState state, const QString &type = QStringLiteral("pdf"),
             const QString &size = QString(), const QString &downloaded = QString(), const QString &progress = QString())
    {
        DownloadItem item;
        item.Url = QStringLiteral("http://127.0.0.1/") + name;
        item.Name = name;
        item.Type = type;
        item.Folder = folder.path();
        item.State = state;
        item.Size = size;
        item.Downloaded = downloaded;
        item.Progress = progress;
        engine.list().addItem(item);
    }

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

    QNetworkAccessManager network;
    SessionSettings settings;
    ManualClock clock;
    PromptRecorder prompts;
    SoundRecorder sounds;
    QTemporaryDir folder;
    DownloadEngine engine{settings, clock, prompts, sounds, network, nullptr,
                          [](DownloadEngine::Method method, int slot) {
                              return new FakeTransfer(method == DownloadEngine::Method::Single, slot);
                          }};
};
