#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QRandomGenerator>
#include <QString>

// Waits that keep the engine polite to the servers it fetches from.
//
// A server that answers 429 or 503 with "Retry-After" gets no new transfer
// before that time has passed; other servers go on. A row that failed k
// times in a row is tried again by the automatic re-download only after
// min(2^k, 600) seconds, spread by ±50 % so that many failed rows do not all
// come back in the same second; a success forgets its failures. Times are the
// engine clock's monotonic seconds.

// The seconds a "Retry-After" value asks for: a number of seconds, or an HTTP
// date measured from the reply's own "Date" (the server's clock), else from
// `nowUtc`. Capped at one hour; a date in the past is 0; -1 when the value is
// neither.
double RetryAfterSeconds(const QByteArray &value, const QByteArray &replyDate, const QDateTime &nowUtc);
inline constexpr double kMaxRetryAfterSeconds = 3600.0;

// Whether a reply status asks the client to come back later.
inline bool IsBusyStatus(int status)
{
    return status == 429 || status == 503;
}

// The host of an address as the waits tell servers apart: the host name in
// lower case and its port ("127.0.0.1:8080", "example.org:443").
QString ServerKey(const QString &url);

// The wait before the next try of a row that failed `failures` times in a
// row: min(2^failures, 600) seconds times a factor from 0.5 to 1.5 drawn from
// `random`.
double BackoffSeconds(int failures, QRandomGenerator &random);
inline constexpr double kMaxBackoffSeconds = 600.0;

class PoliteWaits
{
public:
    // The generator of the spread; tests seed it to fix the sequence.
    void seed(quint32 value) { m_random.seed(value); }

    // A server asked to wait `seconds` from `now`. A later time already in
    // force stays.
    void holdServer(const QString &server, double now, double seconds);
    // When transfers to the server may start again; 0 when it is not held.
    double serverFreeAt(const QString &server) const { return m_servers.value(server, 0.0); }

    // A row's transfer ended; returns the wait before its next try (0 after a success).
    double rowEnded(quint64 itemId, bool succeeded, double now);
    // When the row may be tried again; 0 when it need not wait.
    double rowFreeAt(quint64 itemId) const;
    int failuresInARow(quint64 itemId) const { return m_rows.value(itemId).failures; }
    // The rows that failed at their last try.
    QList<quint64> failedRows() const { return m_rows.keys(); }

    // Forgets the server waits that are over as of `now`.
    void forgetPast(double now);

private:
    struct RowWait
    {
        int failures = 0;
        double freeAt = 0.0;
    };
    QHash<QString, double> m_servers;
    QHash<quint64, RowWait> m_rows;
    QRandomGenerator m_random{QRandomGenerator::global()->generate()};
};
