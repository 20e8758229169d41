#include "harvester/HarvestExport.h"

#include "harvester/HarvestList.h"
#include "harvester/HarvesterTexts.h"
#include "platform/CodePage.h"

#include <QSaveFile>

namespace {

// Whole digits grouped by threes with commas: 2048 gives "2,048".
QString groupedDigits(qint64 value)
{
    QString digits = QString::number(value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits;
}

// A title that the page broke over lines stays on its own export line: each
// line break (CR LF, a lone CR or a lone LF) becomes one blank.
QString titleOnOneLine(const QString &title)
{
    QString line;
    line.reserve(title.size());
    for (qsizetype at = 0; at < title.size(); ++at) {
        const QChar c = title.at(at);
        if (c == QLatin1Char('\r')) {
            if (at + 1 < title.size() && title.at(at + 1) == QLatin1Char('\n'))
                ++at;
            line.append(QLatin1Char(' '));
        } else if (c == QLatin1Char('\n')) {
            line.append(QLatin1Char(' '));
        } else {
            line.append(c);
        }
    }
    return line;
}

} // namespace

QByteArray HarvestExportBytes(const HarvestList &list)
{
    QString text;
    for (int row = 0; row < list.count(); ++row) {
        const HarvestEntry &entry = list.at(row);
        text += titleOnOneLine(entry.Title) + HarvesterText::kExportTypeOpen + entry.FileType
                + HarvesterText::kExportTypeClose + entry.Status + QLatin1String("\r\n");
    }
    return EncodeToCodePage(text);
}

bool WriteHarvestExport(const HarvestList &list, const QString &path)
{
    const QByteArray bytes = HarvestExportBytes(list);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString ExportSizeMessage(qint64 bytes)
{
    // Tenths of a kilobyte, rounded half up in whole numbers so that no
    // binary fraction decides a tie: 256 bytes are 0.25 KB and read "0.3".
    const qint64 tenths = (qMax<qint64>(bytes, 0) * 10 + 512) / 1024;
    return HarvesterText::kExportSaved + groupedDigits(tenths / 10) + QLatin1Char('.') + QString::number(tenths % 10)
           + HarvesterText::kExportSizeUnit;
}
