// What this process has cost so far, as the benchmarks report it: resident
// memory fields of /proc/self/status and the CPU time used.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/resource.h>

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"); -1 when unknown.
inline qint64 statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// User and system CPU seconds of this process.
inline double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}
