#include "engine/ContentType.h"

#include <QHash>
#include <QStringList>

namespace {

// Minor types kept as they stand, and minor types renamed, per major type.
struct MajorTypeRules
{
    QStringList kept;
    QHash<QString, QString> renamed;
};

const QHash<QString, MajorTypeRules> &majorTypeRules()
{
    static const QHash<QString, MajorTypeRules> rules = {
        {QStringLiteral("application"),
         {{QStringLiteral("kdh"), QStringLiteral("caj"), QStringLiteral("pdf"), QStringLiteral("caa"),
           QStringLiteral("nh"), QStringLiteral("vnd.rn-realmedia")},
          {{QStringLiteral("octet-stream"), QString()},
           {QStringLiteral("x-shockwave-flash"), QStringLiteral("swf")},
           {QStringLiteral("x-javascript"), QStringLiteral("js")},
           {QStringLiteral("vnd.ms-wpl"), QStringLiteral("wpl")}}}},
        {QStringLiteral("text"),
         {{QStringLiteral("html"), QStringLiteral("txt"), QStringLiteral("htm"), QStringLiteral("xml"),
           QStringLiteral("css"), QStringLiteral("plain")},
          {}}},
        {QStringLiteral("image"),
         {{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif"), QStringLiteral("png"),
           QStringLiteral("bmp"), QStringLiteral("tif"), QStringLiteral("pjpeg"), QStringLiteral("g3fax"),
           QStringLiteral("ief")},
          {{QStringLiteral("tiff"), QStringLiteral("tif")},
           {QStringLiteral("x-png"), QStringLiteral("png")},
           {QStringLiteral("x-ms-bmp"), QStringLiteral("bmp")},
           {QStringLiteral("x-icon"), QStringLiteral("ico")}}}},
        {QStringLiteral("video"),
         {{QStringLiteral("mpeg"), QStringLiteral("quicktime")},
          {{QStringLiteral("mpeg4"), QStringLiteral("mp4")},
           {QStringLiteral("x-msvideo"), QStringLiteral("avi")},
           {QStringLiteral("x-ms-asf"), QStringLiteral("asf")}}}},
        {QStringLiteral("audio"),
         {{QStringLiteral("amr"), QStringLiteral("x-mpegurl")},
          {{QStringLiteral("x-ms-wma"), QStringLiteral("wma")},
           {QStringLiteral("x-wav"), QStringLiteral("wav")},
           {QStringLiteral("x-pn-realaudio"), QStringLiteral("ram")},
           {QStringLiteral("midi"), QStringLiteral("mid")}}}},
    };
    return rules;
}

QString withoutBlanks(QString text)
{
    text.remove(QLatin1Char(' '));
    return text;
}

} // namespace

QString ContentTypeToFileType(const QString &contentType)
{
    const QStringList parts = contentType.split(QLatin1Char('/'));
    if (parts.size() != 2)
        return contentType;

    const QString major = parts.at(0).trimmed().toLower();
    const QString minor = withoutBlanks(parts.at(1).trimmed()).toLower();
    const auto rules = majorTypeRules().constFind(major);
    if (rules == majorTypeRules().constEnd())
        return contentType;

    if (minor.isEmpty() || minor == QLatin1String("*"))
        return major;
    if (rules->kept.contains(minor))
        return minor;
    if (const auto renamed = rules->renamed.constFind(minor); renamed != rules->renamed.constEnd())
        return renamed.value();
    return contentType;
}

QString HostOfUrl(const QString &url)
{
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    if (scheme >= 0) {
        const qsizetype slash = url.indexOf(QLatin1Char('/'), scheme + 3);
        return slash < 0 ? url : url.left(slash);
    }
    // "a/b" keeps its whole text; "host.org/a" gives "host.org".
    const qsizetype slash = url.indexOf(QLatin1Char('/'));
    return slash >= 3 ? url.left(slash) : url;
}
