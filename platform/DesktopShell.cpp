#include "platform/DesktopShell.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

#ifdef PAPERDRIFT_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

namespace {

bool openLocal(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// The value of `key` in the group `group` of a desktop-style key file, or an
// empty text.
QString keyFileValue(const QString &filePath, const QString &group, const QString &key)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

// The desktop entries the user's and the system's mimeapps.list name for
// plain text, the user's first.
QStringList textPlainApplications()
{
    QStringList lists;
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        lists << folder + QStringLiteral("/mimeapps.list");
    for (const QString &folder : QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation))
        lists << folder + QStringLiteral("/mimeapps.list");

    QStringList entries;
    for (const QString &list : lists) {
        const QString value = keyFileValue(list, QStringLiteral("Default Applications"), QStringLiteral("text/plain"));
        for (const QString &entry : value.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            entries << entry.trimmed();
    }
    return entries;
}

// The Exec line of a desktop entry with its field codes filled in: the file
// for %f and %F, its address for %u and %U, "%" for "%%"; other codes go.
QStringList execCommand(const QString &exec, const QString &path)
{
    QStringList command;
    bool placed = false;
    for (const QString &argument : QProcess::splitCommand(exec)) {
        if (argument == QLatin1String("%f") || argument == QLatin1String("%F")) {
            command << path;
            placed = true;
        } else if (argument == QLatin1String("%u") || argument == QLatin1String("%U")) {
            command << QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
            placed = true;
        } else if (argument.size() == 2 && argument.startsWith(QLatin1Char('%')) && argument != QLatin1String("%%")) {
            continue; // %i, %c, %k and the deprecated codes
        } else {
            command << QString(argument).replace(QLatin1String("%%"), QLatin1String("%"));
        }
    }
    if (!command.isEmpty() && !placed)
        command << path;
    return command;
}

} // namespace

QStringList DefaultTextEditorCommand(const QString &path)
{
    for (const QString &entry : textPlainApplications()) {
        const QString desktopFile = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, entry);
        if (desktopFile.isEmpty())
            continue;
        const QString exec = keyFileValue(desktopFile, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
        const QStringList command = execCommand(exec, path);
        if (!command.isEmpty())
            return command;
    }
    return {};
}

bool DesktopShell::openFile(const QString &path)
{
    return openLocal(path);
}

bool DesktopShell::selectInFileManager(const QString &path)
{
#ifdef PAPERDRIFT_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)} << QString();
        // The answer comes later: the user-interface thread never waits for
        // the file manager. Without one, the folder opens instead.
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
        const QString folder = QFileInfo(path).absolutePath();
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [folder](QDBusPendingCallWatcher *done) {
            if (done->isError())
                openLocal(folder);
            done->deleteLater();
        });
        return true;
    }
#endif
    return openLocal(QFileInfo(path).absolutePath());
}

bool DesktopShell::openFolder(const QString &path)
{
    return openLocal(path);
}

bool DesktopShell::openInTextEditor(const QString &path)
{
    const QStringList command = DefaultTextEditorCommand(path);
    if (!command.isEmpty() && QProcess::startDetached(command.first(), command.mid(1)))
        return true;
    return openLocal(path);
}

bool DesktopShell::openUrl(const QString &url)
{
    return QDesktopServices::openUrl(QUrl(url));
}
