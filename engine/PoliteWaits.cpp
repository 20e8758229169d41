#include "engine/PoliteWaits.h"

#include <QLocale>
#include <QTimeZone>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

// The three date forms HTTP has known; the first is the one servers send.
QDateTime parseHttpDate(const QByteArray &value)
{
    // The weekday is left out: it only repeats the date (and a two-digit
    // year would make it disagree).
    QString text = QString::fromLatin1(value.trimmed()).simplified();
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    text = comma >= 0 ? text.mid(comma + 1).trimmed() : text.section(QLatin1Char(' '), 1);
    static const char *const formats[] = {
        "dd MMM yyyy HH:mm:ss 'GMT'", // IMF-fixdate
        "dd-MMM-yy HH:mm:ss 'GMT'",   // RFC 850
        "MMM d HH:mm:ss yyyy",        // asctime
    };
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const char *format : formats) {
        QDateTime date = english.toDateTime(text, QString::fromLatin1(format));
        if (date.isValid()) {
            if (date.date().year() < 1970) // two-digit years of the RFC 850 form
                date = date.addYears(100);
            date.setTimeSpec(Qt::UTC);
            return date;
        }
    }
    return QDateTime();
}

} // namespace

double RetryAfterSeconds(const QByteArray &value, const QByteArray &replyDate, const QDateTime &nowUtc)
{
    const QByteArray text = value.trimmed();
    if (text.isEmpty())
        return -1.0;
    bool numeric = false;
    const qlonglong seconds = text.toLongLong(&numeric);
    if (numeric)
        return seconds < 0 ? -1.0 : std::min(double(seconds), kMaxRetryAfterSeconds);
    const QDateTime at = parseHttpDate(text);
    if (!at.isValid())
        return -1.0;
    const QDateTime serverNow = parseHttpDate(replyDate);
    const QDateTime from = serverNow.isValid() ? serverNow : nowUtc;
    const double wait = double(from.msecsTo(at)) / 1000.0;
    return std::clamp(wait, 0.0, kMaxRetryAfterSeconds);
}

QString ServerKey(const QString &url)
{
    const QUrl address(url.trimmed());
    const int defaultPort = address.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80;
    return address.host().toLower() + QLatin1Char(':') + QString::number(address.port(defaultPort));
}

double BackoffSeconds(int failures, QRandomGenerator &random)
{
    if (failures <= 0)
        return 0.0;
    const double base = failures >= 10 ? kMaxBackoffSeconds : std::min(std::ldexp(1.0, failures), kMaxBackoffSeconds);
    return base * (0.5 + random.generateDouble());
}

void PoliteWaits::holdServer(const QString &server, double now, double seconds)
{
    const double until = now + std::clamp(seconds, 0.0, kMaxRetryAfterSeconds);
    double &held = m_servers[server];
    held = std::max(held, until);
}

double PoliteWaits::rowEnded(quint64 itemId, bool succeeded, double now)
{
    if (succeeded) {
        m_rows.remove(itemId);
        return 0.0;
    }
    RowWait &wait = m_rows[itemId];
    ++wait.failures;
    const double seconds = BackoffSeconds(wait.failures, m_random);
    wait.freeAt = now + seconds;
    return seconds;
}

double PoliteWaits::rowFreeAt(quint64 itemId) const
{
    const auto found = m_rows.constFind(itemId);
    return found == m_rows.constEnd() ? 0.0 : found->freeAt;
}

void PoliteWaits::forgetPast(double now)
{
    for (auto it = m_servers.begin(); it != m_servers.end();) {
        if (*it <= now)
            it = m_servers.erase(it);
        else
            ++it;
    }
}
