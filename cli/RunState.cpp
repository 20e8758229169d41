#include "cli/RunState.h"

#include "engine/DownloadList.h"
#include "engine/RowTexts.h"
#include "platform/FileTests.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

constexpr int kFormat = 1;

QString stateWord(ItemState state)
{
    switch (state) {
    case Waiting: return QStringLiteral("waiting");
    case Downloading: return QStringLiteral("downloading");
    case Finished: return QStringLiteral("finished");
    case Failed: return QStringLiteral("failed");
    }
    return QStringLiteral("waiting");
}

} // namespace

QList<RunStateRow> ReadRunState(const QString &path, QString *error)
{
    QList<RunStateRow> rows;
    QFile file(path);
    if (!file.exists())
        return rows;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the state file %1: %2").arg(path, file.errorString());
        return rows;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    const QJsonObject root = document.object();
    if (parseError.error != QJsonParseError::NoError || root.value(QStringLiteral("format")).toInt() != kFormat
        || !root.value(QStringLiteral("rows")).isArray()) {
        *error = QStringLiteral("%1 is not a state file of paperdrift-cli download").arg(path);
        return rows;
    }
    const QJsonArray array = root.value(QStringLiteral("rows")).toArray();
    for (const QJsonValue &value : array) {
        const QJsonObject object = value.toObject();
        RunStateRow row;
        DownloadItem &item = row.item;
        item.Url = object.value(QStringLiteral("url")).toString();
        item.Name = object.value(QStringLiteral("name")).toString();
        item.Type = object.value(QStringLiteral("type")).toString();
        item.Folder = object.value(QStringLiteral("folder")).toString();
        item.Referer = object.value(QStringLiteral("referer")).toString();
        row.nameFromServer = object.value(QStringLiteral("nameFromServer")).toBool();
        if (item.Url.isEmpty() || item.Folder.isEmpty()) {
            *error = QStringLiteral("%1: a row without address or folder").arg(path);
            return {};
        }
        // Finished stays finished while its file is there (a skipped or
        // too-large row has none and keeps its words); anything else waits
        // again and continues from its .part file.
        const bool finished = object.value(QStringLiteral("state")).toString() == QLatin1String("finished");
        const QString progress = object.value(QStringLiteral("progress")).toString();
        const bool stored = FileExists(ItemFilePath(item));
        if (finished && (stored || !progress.endsWith(QLatin1Char('%')))) {
            item.State = Finished;
            item.Size = SizeFromText(object.value(QStringLiteral("size")).toString());
            item.Downloaded = DownloadedFromText(object.value(QStringLiteral("downloaded")).toString());
            item.Progress = ProgressFromText(progress);
        } else {
            item.State = Waiting;
        }
        rows.append(row);
    }
    return rows;
}

bool WriteRunState(const QString &path, const DownloadList &list, const QSet<quint64> &nameFromServerRows)
{
    QJsonArray array;
    for (int row = 0; row < list.count(); ++row) {
        const DownloadItem &item = list.at(row);
        QJsonObject object{
            {QStringLiteral("url"), item.Url},
            {QStringLiteral("name"), item.Name},
            {QStringLiteral("type"), item.Type},
            {QStringLiteral("folder"), item.Folder},
            {QStringLiteral("referer"), item.Referer},
            {QStringLiteral("state"), stateWord(item.State)},
            {QStringLiteral("size"), SizeText(item.Size)},
            {QStringLiteral("downloaded"), DownloadedText(item.Downloaded)},
            {QStringLiteral("progress"), ProgressText(item.Progress)},
        };
        if (nameFromServerRows.contains(item.Id))
            object.insert(QStringLiteral("nameFromServer"), true);
        array.append(object);
    }
    const QJsonObject root{{QStringLiteral("format"), kFormat}, {QStringLiteral("rows"), array}};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return file.write(bytes) == bytes.size() && file.commit();
}
