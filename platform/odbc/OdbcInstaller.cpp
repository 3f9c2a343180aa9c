#include "platform/odbc/OdbcInstaller.h"

#include "platform/files/WholeFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <odbcinst.h>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// Exported by libodbcinst but declared only in its internal header.
extern "C" {
char* odbcinst_system_file_path(char* buffer);
char* odbcinst_user_file_path(char* buffer);
}

namespace OdbcInstaller
{
namespace
{

// The entry is written by renaming a new file into place, which needs the folder, not the file, to be writable.
// Asked of the system rather than read from permission bits, which say nothing for the superuser.
bool writable(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return false;
    return ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) == 0;
}

// Held while the file is read, compared and replaced, so that two programs registering at once do not drop each
// other's entries. The lock is on a file of its own: the ini file itself is replaced, not rewritten.
class IniLock
{
public:
    explicit IniLock(const QString& iniPath)
        : m_fd(::open(QFile::encodeName(iniPath + QStringLiteral(".lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                      0666))
    {
        if (m_fd >= 0)
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~IniLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    IniLock(const IniLock&) = delete;
    IniLock& operator=(const IniLock&) = delete;

private:
    int m_fd;
};

QString sectionName(const QString& line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return QString();
}

// The keys and values of a section's lines; comments and blank lines are not entries.
Attributes entriesOf(const QStringList& lines)
{
    Attributes entries;
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        const qsizetype eq = t.indexOf(QLatin1Char('='));
        if (t.isEmpty() || t.startsWith(QLatin1Char('#')) || t.startsWith(QLatin1Char(';')) || eq < 0)
            continue;
        entries.append({t.left(eq).trimmed(), t.mid(eq + 1).trimmed()});
    }
    return entries;
}

// Keys compare without regard to case, as the installer reads them.
bool sameEntries(const Attributes& present, const Attributes& wanted)
{
    if (present.size() != wanted.size())
        return false;
    for (const auto& [key, value] : wanted) {
        const auto found = std::find_if(present.begin(), present.end(), [&key](const auto& entry) {
            return entry.first.compare(key, Qt::CaseInsensitive) == 0;
        });
        if (found == present.end() || found->second != value)
            return false;
    }
    return true;
}

bool readLines(const QString& path, QStringList* lines, QString* reason)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    *lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines->isEmpty() && lines->last().isEmpty())
        lines->removeLast();
    return true;
}

class ConfigMode
{
public:
    explicit ConfigMode(Scope scope) { SQLSetConfigMode(scope == Scope::System ? ODBC_SYSTEM_DSN : ODBC_USER_DSN); }
    ~ConfigMode() { SQLSetConfigMode(ODBC_BOTH_DSN); }
    ConfigMode(const ConfigMode&) = delete;
    ConfigMode& operator=(const ConfigMode&) = delete;
};

// The installer library keeps what it has read of the ini files for the life of the process, and forgets it only
// when it writes an ini file itself; a scratch file of its own is written for that.
void forgetWhatTheInstallerRead()
{
    QTemporaryFile scratch;
    if (scratch.open()) {
        scratch.close();
        SQLWritePrivateProfileString("scratch", "key", "value", QFile::encodeName(scratch.fileName()).constData());
    }
}

} // namespace

QString iniFile(Scope scope)
{
    char buffer[4096] = {};
    if (scope == Scope::System) {
        // After its first call the library hands back the folder it kept and leaves the buffer as it was.
        return QDir(QString::fromLocal8Bit(odbcinst_system_file_path(buffer))).filePath(QStringLiteral("odbc.ini"));
    }
    const QByteArray env = qgetenv("ODBCINI");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QDir(QString::fromLocal8Bit(odbcinst_user_file_path(buffer))).filePath(QStringLiteral(".odbc.ini"));
}

bool configDataSource(const QString& dsn, const QString& driver, const Attributes& attributes, QString* error,
                      Scope* usedScope)
{
    const Scope scope = writable(iniFile(Scope::System)) ? Scope::System : Scope::User;
    if (usedScope)
        *usedScope = scope;
    const QString path = iniFile(scope);
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("Cannot create %1").arg(path));

    Attributes wanted{{QStringLiteral("Driver"), driver}};
    wanted += attributes;
    const IniLock lock(path);
    QStringList lines;
    QString reason;
    if (!readLines(path, &lines, &reason))
        return fail(QStringLiteral("Cannot read %1: %2").arg(path, reason));
    qsizetype begin = 0;
    while (begin < lines.size() && sectionName(lines[begin]).compare(dsn, Qt::CaseInsensitive) != 0)
        ++begin;
    qsizetype end = begin < lines.size() ? begin + 1 : begin;
    while (end < lines.size() && sectionName(lines[end]).isNull())
        ++end;
    // Programs starting together each read the entry; rewriting it unchanged would only race with their reads.
    if (begin == lines.size() || !sameEntries(entriesOf(lines.mid(begin + 1, end - begin - 1)), wanted)) {
        QStringList entry{QLatin1Char('[') + dsn + QLatin1Char(']')};
        for (const auto& [key, value] : wanted)
            entry << key + QLatin1Char('=') + value;
        if (end < lines.size())
            entry << QString();
        else if (begin == lines.size() && !lines.isEmpty() && !lines.last().trimmed().isEmpty())
            entry.prepend(QString());
        const QStringList result = lines.mid(0, begin) + entry + lines.mid(end);
        if (!WholeFile::write(path, (result.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8(), &reason))
            return fail(QStringLiteral("Cannot write %1: %2").arg(path, reason));
    }
    forgetWhatTheInstallerRead();
    return true;
}

QString attribute(const QString& dsn, const QString& key, Scope scope)
{
    ConfigMode mode(scope);
    char buffer[4096] = {};
    SQLGetPrivateProfileString(dsn.toLocal8Bit().constData(), key.toLocal8Bit().constData(), "", buffer, sizeof(buffer),
                               "odbc.ini");
    return QString::fromLocal8Bit(buffer);
}

} // namespace OdbcInstaller
