// A settings file edited by hand: its keys of the settings table are read,
// then a value is saved into it and must read back as written, in the same
// run and in the next one. The input is the file, then after a NUL byte the
// value to save.
#include "fuzz/FuzzCheck.h"

#include "platform/SettingsStore.h"
#include "settings/StoredSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    static const QString path = QDir(folder.path()).filePath(QStringLiteral("Paperdrift.ini"));

    const QByteArray input = FuzzBytes(data, size);
    const qsizetype split = input.indexOf('\0');
    const QByteArray fileBytes = split < 0 ? input : input.left(split);
    const QString value = split < 0 ? QStringLiteral("/home/u/papers, 2016/") : QString::fromUtf8(input.mid(split + 1));

    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(fileBytes);
    file.close();

    {
        SettingsStore store(path);
        StoredSettings stored(store);
        stored.downloadMethod();
        stored.proxyEnabled();
        stored.proxyAddress();
        stored.maxFileSizeMB();
        stored.askSaveFolder();
        stored.saveFolder();
        stored.threadPosition();
        stored.duplicateNamePolicy();
        stored.layoutResolution(QStringLiteral("fFileDownload"));
        stored.layoutWidth(QStringLiteral("fFileDownload"));
        stored.copyMoveOpIndex();

        const QString address = stored.proxyAddress();
        stored.saveSaveFolder(value);
        FUZZ_CHECK(stored.saveFolder() == value);
        // Saving one key leaves the others reading as they did.
        FUZZ_CHECK(stored.proxyAddress() == address);
    }
    SettingsStore next(path);
    FUZZ_CHECK(StoredSettings(next).saveFolder() == value);
    return 0;
}
