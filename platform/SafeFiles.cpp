#include "platform/SafeFiles.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <optional>

#ifndef Q_OS_UNIX
#error "SafeFiles: the no-follow file operations are written for POSIX systems only"
#endif

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

#ifdef O_PATH
constexpr int kWalkFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kWalkFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// A descriptor closed when it goes out of scope.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    Descriptor(Descriptor &&other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        if (this != &other) {
            if (m_fd >= 0)
                ::close(m_fd);
            m_fd = other.m_fd;
            other.m_fd = -1;
        }
        return *this;
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// The steps from root down to the path; nothing when the path is not root or
// below it.
std::optional<QList<QByteArray>> stepsBelow(const QString &root, const QString &path)
{
    if (root.isEmpty() || path.isEmpty() || !QDir::isAbsolutePath(root) || !QDir::isAbsolutePath(path))
        return std::nullopt;
    const QString cleanRoot = QDir::cleanPath(root);
    const QString cleanPath = QDir::cleanPath(path);
    if (cleanPath == cleanRoot)
        return QList<QByteArray>();
    const QString prefix = cleanRoot.endsWith(QLatin1Char('/')) ? cleanRoot : cleanRoot + QLatin1Char('/');
    if (!cleanPath.startsWith(prefix))
        return std::nullopt;
    QList<QByteArray> steps;
    for (const QString &step : cleanPath.mid(prefix.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (step == QLatin1String(".") || step == QLatin1String(".."))
            return std::nullopt;
        steps.append(QFile::encodeName(step));
    }
    return steps;
}

// The folder reached from root through the first `count` steps, each a real
// folder; an invalid descriptor when a step is missing, not a folder or a
// link, with the reason in `error`.
struct Reached
{
    Descriptor folder;
    int error = 0;
};
Reached walk(const QString &root, const QList<QByteArray> &steps, qsizetype count)
{
    Reached reached{Descriptor(::open(QFile::encodeName(root).constData(), kWalkFlags)), 0};
    for (qsizetype i = 0; reached.folder.valid() && i < count; ++i)
        reached.folder = Descriptor(::openat(reached.folder.get(), steps.at(i).constData(), kWalkFlags | O_NOFOLLOW));
    if (!reached.folder.valid())
        reached.error = errno;
    return reached;
}

// The parent folder of the path's last step, and that step; the parent is
// invalid when the path is root itself or not reached through real folders
// (`gone`: because a folder on the way does not exist).
struct Parent
{
    Descriptor folder;
    QByteArray name;
    bool gone = false;
};
Parent parentOf(const QString &root, const QString &path)
{
    const auto steps = stepsBelow(root, path);
    if (!steps || steps->isEmpty())
        return Parent();
    Reached reached = walk(root, *steps, steps->size() - 1);
    const bool gone = !reached.folder.valid() && reached.error == ENOENT;
    return {std::move(reached.folder), steps->last(), gone};
}

// Removes every entry of the open folder, folders depth first, links as links.
bool emptyFolder(int folder)
{
    const int listing = ::dup(folder);
    if (listing < 0)
        return false;
    DIR *dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return false;
    }
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    bool ok = true;
    for (const QByteArray &name : std::as_const(names)) {
        struct stat info = {};
        if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(info.st_mode)) {
            const Descriptor sub(::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!sub.valid() || !emptyFolder(sub.get())
                || (::unlinkat(folder, name.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT))
                ok = false;
        } else if (::unlinkat(folder, name.constData(), 0) != 0 && errno != ENOENT) {
            ok = false;
        }
    }
    return ok;
}

// Whether the open file and the name are the same regular file.
bool sameFile(int fd, const QString &path)
{
    struct stat open = {};
    struct stat named = {};
    return ::fstat(fd, &open) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0
           && S_ISREG(named.st_mode) && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

} // namespace

NewFile::~NewFile()
{
    discard();
}

bool NewFile::create(const QString &sideName)
{
    discard();
    if (sideName.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(sideName);
    struct stat info = {};
    if (::lstat(name.constData(), &info) == 0 && !S_ISDIR(info.st_mode))
        ::unlink(name.constData());
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    m_file = std::make_unique<QFile>();
    m_sideName = sideName;
    if (!m_file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ::unlink(name.constData());
        m_file.reset();
        return false;
    }
    return true;
}

bool NewFile::putInPlace(const QString &target)
{
    if (!m_file || !m_file->isOpen() || target.isEmpty())
        return false;
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError || !sameFile(m_file->handle(), m_sideName)
        || ::rename(QFile::encodeName(m_sideName).constData(), QFile::encodeName(target).constData()) != 0) {
        discard();
        return false;
    }
    m_file->close();
    m_file.reset();
    return true;
}

void NewFile::discard()
{
    if (!m_file)
        return;
    const bool ours = m_file->isOpen() && sameFile(m_file->handle(), m_sideName);
    m_file->close();
    m_file.reset();
    if (ours)
        ::unlink(QFile::encodeName(m_sideName).constData());
}

bool NameTaken(const QString &path)
{
    struct stat info = {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

bool IsRealFolderInside(const QString &root, const QString &path)
{
    const auto steps = stepsBelow(root, path);
    return steps && walk(root, *steps, steps->size()).folder.valid();
}

bool RemoveFileInside(const QString &root, const QString &path)
{
    const Parent parent = parentOf(root, path);
    if (!parent.folder.valid())
        return parent.gone;
    struct stat info = {};
    if (::fstatat(parent.folder.get(), parent.name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISREG(info.st_mode))
        return false;
    return ::unlinkat(parent.folder.get(), parent.name.constData(), 0) == 0 || errno == ENOENT;
}

bool RemoveEmptyFolderInside(const QString &root, const QString &path)
{
    const Parent parent = parentOf(root, path);
    if (!parent.folder.valid())
        return parent.gone;
    struct stat info = {};
    if (::fstatat(parent.folder.get(), parent.name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return false;
    return ::unlinkat(parent.folder.get(), parent.name.constData(), AT_REMOVEDIR) == 0 || errno == ENOENT;
}

bool RemoveTreeInside(const QString &root, const QString &path)
{
    const Parent parent = parentOf(root, path);
    if (!parent.folder.valid())
        return parent.gone;
    const int at = parent.folder.get();
    const char *name = parent.name.constData();
    struct stat info = {};
    if (::fstatat(at, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (S_ISLNK(info.st_mode))
        return ::unlinkat(at, name, 0) == 0 || errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return false;
    const Descriptor folder(::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.valid() || !emptyFolder(folder.get()))
        return false;
    return ::unlinkat(at, name, AT_REMOVEDIR) == 0 || errno == ENOENT;
}

bool MakeFolderInside(const QString &root, const QString &path)
{
    const auto steps = stepsBelow(root, path);
    if (!steps)
        return false;
    Descriptor at = std::move(walk(root, *steps, 0).folder);
    for (qsizetype i = 0; at.valid() && i < steps->size(); ++i) {
        const char *name = steps->at(i).constData();
        const bool last = i == steps->size() - 1;
        struct stat info = {};
        if (::fstatat(at.get(), name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT || (::mkdirat(at.get(), name, 0777) != 0 && errno != EEXIST))
                return false;
        } else if (S_ISLNK(info.st_mode) && last) {
            if (::unlinkat(at.get(), name, 0) != 0 || ::mkdirat(at.get(), name, 0777) != 0)
                return false;
        }
        at = Descriptor(::openat(at.get(), name, kWalkFlags | O_NOFOLLOW));
    }
    return at.valid();
}
