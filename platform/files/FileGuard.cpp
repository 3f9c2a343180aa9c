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
    if (path.isEmpty())
        return;
    const QString db = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList bases{db};
    const QString real = realPath(QFile::encodeName(db));
    if (!real.isEmpty() && real != db)
        bases << real;
    for (const QString& base : std::as_const(bases))
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            names << base + QLatin1String(suffix);
}

} // namespace FileGuard
