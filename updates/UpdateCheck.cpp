#include "updates/UpdateCheck.h"

#include "updates/XmlHttp.h"

#include <QStringList>

#include <cmath>

namespace {

// The folder of the program on the update server.
const QString kProgramFolder = QStringLiteral("Paperdrift");

// A part of a version text counts when it reads whole as a number.
std::optional<float> numberPart(const QString &part)
{
    bool ok = false;
    const float value = part.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

ProgramVersion RunningVersion()
{
    return {PAPERDRIFT_VERSION_MAJOR, PAPERDRIFT_VERSION_MINOR, PAPERDRIFT_VERSION_PATCH};
}

QString VersionText(const ProgramVersion &version)
{
    return QStringLiteral("%1.%2.%3").arg(version.major).arg(version.minor).arg(version.revision);
}

float VersionValue(float major, float minor, float revision)
{
    return major * 10000000.0f + minor * 10000.0f + revision;
}

std::optional<QString> NewerVersionIn(const QString &versionFileText, const ProgramVersion &running)
{
    const QString text = versionFileText.trimmed();
    if (text.isEmpty() || text.size() >= 11)
        return std::nullopt;
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 3)
        return std::nullopt;
    const auto major = numberPart(parts[0]);
    const auto minor = numberPart(parts[1]);
    const auto revision = numberPart(parts[2]);
    if (!major || !minor || !revision)
        return std::nullopt;
    const float latest = VersionValue(*major, *minor, *revision);
    const float current = VersionValue(float(running.major), float(running.minor), float(running.revision));
    if (latest > current)
        return text;
    return std::nullopt;
}

QString UpdateBaseAddress()
{
    if (qEnvironmentVariableIsSet("PAPERDRIFT_UPDATE_BASE"))
        return qEnvironmentVariable("PAPERDRIFT_UPDATE_BASE").trimmed();
    return QStringLiteral(PAPERDRIFT_UPDATE_BASE).trimmed();
}

// A base given without its closing "/" still names a folder.
static QString folderBase(const QString &base)
{
    return base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
}

QString VersionFileAddress(const QString &base)
{
    return folderBase(base) + kProgramFolder + QStringLiteral("/newver.txt");
}

QString ProgramPageAddress(const QString &base)
{
    return folderBase(base) + kProgramFolder + QLatin1Char('/');
}

UpdateCheck::UpdateCheck(XmlHttp &control, const QString &base, const ProgramVersion &running, QObject *parent)
    : QObject(parent), m_control(control), m_base(base), m_running(running)
{
    connect(&m_control, &XmlHttp::dataArrived, this, [this] {
        if (m_control.bodyCut())
            return;
        if (const auto newer = NewerVersionIn(m_control.responseText(), m_running))
            emit newerVersion(*newer);
    });
    connect(&m_control, &XmlHttp::dataError, this, [this] { emit networkTrouble(); });
}

void UpdateCheck::start()
{
    if (m_started || m_base.isEmpty())
        return;
    m_started = true;
    m_control.setBodyLimit(kVersionFileLimit);
    m_control.setTransferTimeout(m_timeoutMs);
    m_control.open(QStringLiteral("GET"), VersionFileAddress(m_base));
    m_control.send();
}
