#include "platform/ReadAhead.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

void ExpectReads(const QString &path, qint64 headBytes, qint64 tailBytes)
{
#if defined(Q_OS_UNIX) && defined(POSIX_FADV_WILLNEED)
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    struct stat info = {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        ::posix_fadvise(fd, 0, off_t(headBytes), POSIX_FADV_WILLNEED);
        if (info.st_size > headBytes)
            ::posix_fadvise(fd, qMax<off_t>(off_t(headBytes), info.st_size - off_t(tailBytes)), 0, POSIX_FADV_WILLNEED);
    }
    ::close(fd);
#else
    Q_UNUSED(path);
    Q_UNUSED(headBytes);
    Q_UNUSED(tailBytes);
#endif
}
