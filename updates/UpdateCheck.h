#pragma once

#include <QObject>
#include <QString>
#include <optional>

class XmlHttp;

// The running program's version numbers.
struct ProgramVersion
{
    int major = 0;
    int minor = 0;
    int revision = 0;
};

ProgramVersion RunningVersion();
// "1.4.927"
QString VersionText(const ProgramVersion &version);

// A version's value for comparing: major × 10,000,000 + minor × 10,000 +
// revision, in single precision as the update check has always compared.
float VersionValue(float major, float minor, float revision);

// CompareWithLatestVersion's rule over the version file's text: the text,
// trimmed, when it names a version newer than `running`; nothing for an equal
// or older version, an empty text, a text of 11 characters or more, or one
// that is not three numbers separated by ".".
std::optional<QString> NewerVersionIn(const QString &versionFileText, const ProgramVersion &running);

// The update server's base address: the environment variable
// PAPERDRIFT_UPDATE_BASE when it is set (even empty), else the address the
// program was built with. Empty: no update check.
QString UpdateBaseAddress();
// The version file and the program page below a base address.
QString VersionFileAddress(const QString &base);
QString ProgramPageAddress(const QString &base);

// StartUpdateCheck and its answer handlers, without presentation: fetches the
// version file once through the given HTTP control and says what the holder
// must show. The version file is read only up to a small limit: a longer one
// (huge, binary, never-ending) counts as naming no newer version.
class UpdateCheck final : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 kVersionFileLimit = 1024;
    static constexpr int kNoAnswerMs = 30000;

    UpdateCheck(XmlHttp &control, const QString &base, const ProgramVersion &running, QObject *parent = nullptr);

    // StartUpdateCheck: runs once; later calls and an empty base do nothing.
    void start();
    // How long a request may go without progress before it counts as
    // unanswered (tests shorten it).
    void setNoAnswerTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    QString programPage() const { return ProgramPageAddress(m_base); }

signals:
    // The version file names a newer version (its text).
    void newerVersion(const QString &version);
    // No answer, or any status but 200.
    void networkTrouble();

private:
    XmlHttp &m_control;
    QString m_base;
    ProgramVersion m_running;
    bool m_started = false;
    int m_timeoutMs = kNoAnswerMs;
};
