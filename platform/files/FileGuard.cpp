#include "platform/files/FileGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace FileGuard
{
namespace
{

// As the system counts links before it gives up (ELOOP).
constexpr int MaxLinks = 40;

QString realPath(const QByteArray& path)
{
    char buffer[PATH_MAX];
    return ::realpath(path.constData(), buffer) ? QFile::decodeName(buffer) : QString();
}

// The database's files by every name they go by, worked out once when the database file is set.
QStringList& databaseNames()
{
    static QStringList names;
    return names;
}

// The folders that hold the database's files, by device and inode, with the names the files take there: a file still
// to be made has no inode of its own, and its folder may be reached by a path that no text comparison maps (a bind
// mount, a folder moved while the program runs).
struct DatabaseFolder {
    dev_t device = 0;
    ino_t inode = 0;
    QStringList names;
};

QList<DatabaseFolder>& databaseFolders()
{
    static QList<DatabaseFolder> folders;
    return folders;
}

// Where the path leads. A file that exists is found by realpath; one still to be made is found by following the
// links of its last name by hand, so that a write through a link lands on the file the link names.
QString resolve(const QString& given, bool* tooManyLinks)
{
    QByteArray path = QFile::encodeName(QFileInfo(given).absoluteFilePath());
    const QString real = realPath(path);
    if (!real.isEmpty())
        return real;
    for (int hops = 0;; ++hops) {
        struct stat st = {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        if (hops == MaxLinks) {
            *tooManyLinks = true;
            break;
        }
        QByteArray target(qsizetype(st.st_size > 0 ? st.st_size : PATH_MAX) + 1, '\0');
        const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n < 0 || n >= target.size())
            break;
        target.truncate(n);
        path = target.startsWith('/') ? target : path.left(path.lastIndexOf('/') + 1) + target;
    }
    const QFileInfo last(QFile::decodeName(path));
    const QString folder = realPath(QFile::encodeName(last.absolutePath()));
    return folder.isEmpty() ? QDir::cleanPath(last.absoluteFilePath()) : QDir(folder).filePath(last.fileName());
}

// The database's files by name, and those that exist by their inode as well: a hard link is the same file.
bool isDatabaseFile(const QString& path, const struct stat* st)
{
    for (const QString& name : std::as_const(databaseNames())) {
        if (name == path)
            return true;
        struct stat other = {};
        if (st && ::stat(QFile::encodeName(name).constData(), &other) == 0 && other.st_dev == st->st_dev &&
            other.st_ino == st->st_ino)
            return true;
    }
    if (st || path.isEmpty())
        return false;
    const QFileInfo info(path);
    struct stat folder = {};
    if (::stat(QFile::encodeName(info.absolutePath()).constData(), &folder) != 0)
        return false;
    for (const DatabaseFolder& known : std::as_const(databaseFolders())) {
        if (known.device == folder.st_dev && known.inode == folder.st_ino && known.names.contains(info.fileName()))
            return true;
    }
    return false;
}

} // namespace

Verdict check(const QString& path)
{
    Verdict verdict;
    bool tooManyLinks = false;
    verdict.path = resolve(path, &tooManyLinks);
    if (tooManyLinks) {
        verdict.refusal = QString::fromLocal8Bit(std::strerror(ELOOP));
        return verdict;
    }
    struct stat st = {};
    const bool exists = ::stat(QFile::encodeName(verdict.path).constData(), &st) == 0;
    // A link is named with the file it leads to, which is the one refused.
    const bool viaLink = verdict.path != QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString target = QDir::toNativeSeparators(verdict.path);
    if (isDatabaseFile(verdict.path, exists ? &st : nullptr)) {
        verdict.refusal = viaLink ? QStringLiteral("it leads to %1, one of the program's database files").arg(target)
                                  : QStringLiteral("it is one of the program's database files");
    } else if (exists && !S_ISREG(st.st_mode)) {
        verdict.refusal = viaLink ? QStringLiteral("it leads to %1, which is not a regular file").arg(target)
                                  : QStringLiteral("it is not a regular file");
    }
    return verdict;
}

void setDatabaseFile(const QString& path)
{
    QStringList& names = databaseNames();
    names.clear();
    databaseFolders().clear();
    if (path.isEmpty())
        return;
    const QString db = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList bases{db};
    const QString real = realPath(QFile::encodeName(db));
    if (!real.isEmpty() && real != db)
        bases << real;
    for (const QString& base : std::as_const(bases)) {
        const QFileInfo info(base);
        DatabaseFolder folder;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
            names << base + QLatin1String(suffix);
            folder.names << info.fileName() + QLatin1String(suffix);
        }
        struct stat st = {};
        if (::stat(QFile::encodeName(info.absolutePath()).constData(), &st) == 0) {
            folder.device = st.st_dev;
            folder.inode = st.st_ino;
            databaseFolders() << folder;
        }
    }
}

QString checkOpened(int fd)
{
    struct stat st = {};
    if (::fstat(fd, &st) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (isDatabaseFile(QString(), &st))
        return QStringLiteral("it is one of the program's database files");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("it is not a regular file");
    return QString();
}

} // namespace FileGuard
