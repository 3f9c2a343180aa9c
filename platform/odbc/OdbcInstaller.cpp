#include "platform/odbc/OdbcInstaller.h"

#include "platform/files/WholeFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <odbcinst.h>

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

// Exported by libodbcinst but declared only in its internal header.
extern "C" {
char* odbcinst_system_file_path(char* buffer);
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

// The locks this thread holds, by ini file: a registration inside a caller's lock must not wait for itself (a second
// flock on the same file from this process would).
QStringList& heldLocks()
{
    thread_local QStringList held;
    return held;
}

// Polled, as flock cannot wait for a limited time; short sleeps give programs registering at once each their turn.
QString takeLock(int fd, std::chrono::milliseconds wait)
{
    const auto end = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return qt_error_string(errno);
        if (std::chrono::steady_clock::now() >= end)
            return QStringLiteral("another program holds it");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return QString();
}

using Lines = QList<QByteArray>;

// The file as unixODBC's reader takes it. The user's file is read first, each line with its leading blanks and tabs
// passed over; the system's file is added after it, and there a line that does not begin in its first column is
// neither a section nor a key. A section's name runs to its first "]" (a comment may follow).
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QByteArray unindented(const QByteArray& line)
{
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    return line.mid(i);
}

bool isComment(const QByteArray& text)
{
    return text.startsWith(';') || text.startsWith('#');
}

bool isSection(const QByteArray& line, Scope scope)
{
    return (scope == Scope::User ? unindented(line) : line).startsWith('[');
}

QByteArray sectionName(const QByteArray& line, Scope scope)
{
    if (!isSection(line, scope))
        return QByteArray();
    const QByteArray t = unindented(line);
    const qsizetype close = t.indexOf(']');
    return t.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

// unixODBC reads nothing of a file in which anything but blank lines and comments comes before the first section.
bool readable(const Lines& lines)
{
    for (const QByteArray& line : lines) {
        if (line.startsWith('['))
            return true;
        const QByteArray t = line.trimmed();
        if (!t.isEmpty() && !isComment(t))
            return false;
    }
    return true;
}

// The first section of that name (unixODBC takes the first), or lines.size().
qsizetype findSection(const Lines& lines, const QByteArray& name, Scope scope)
{
    qsizetype header = 0;
    while (header < lines.size() && sectionName(lines[header], scope).compare(name, Qt::CaseInsensitive) != 0)
        ++header;
    return header;
}

// The key of a line in a section, indented or not ("" for a comment or a blank line). A line without "=" is a key
// with an empty value to unixODBC.
QByteArray keyOf(const QByteArray& line)
{
    const QByteArray t = unindented(line);
    if (t.isEmpty() || isComment(t) || t.startsWith('['))
        return QByteArray();
    const qsizetype eq = t.indexOf('=');
    return (eq < 0 ? t : t.left(eq)).trimmed();
}

// A line ending "\r\n" keeps its "\r" when its value is replaced.
QByteArray lineEnd(const QByteArray& line)
{
    return line.endsWith('\r') ? QByteArrayLiteral("\r") : QByteArray();
}

// Sets the wanted keys in the lines between the section's header and end: a key line whose value differs, or that is
// indented (which unixODBC may not take as a key), becomes "key=value" on its own line; a missing key is added after
// the section's last key line. Every other line stays as it is. True when anything changed.
bool setKeys(Lines* lines, qsizetype header, qsizetype end, const QList<QPair<QByteArray, QByteArray>>& wanted)
{
    bool changed = false;
    qsizetype lastKey = header;
    QList<bool> found(wanted.size(), false);
    for (qsizetype i = header + 1; i < end; ++i) {
        QByteArray& line = (*lines)[i];
        const QByteArray key = keyOf(line);
        if (key.isEmpty())
            continue;
        lastKey = i;
        for (qsizetype w = 0; w < wanted.size(); ++w) {
            if (key.compare(wanted[w].first, Qt::CaseInsensitive) != 0)
                continue;
            found[w] = true;
            const QByteArray text = unindented(line);
            const qsizetype eq = text.indexOf('=');
            const QByteArray value = eq < 0 ? QByteArray() : text.mid(eq + 1).trimmed();
            if (text.size() != line.size() || eq < 0 || value != wanted[w].second) {
                line = key + '=' + wanted[w].second + lineEnd(line);
                changed = true;
            }
        }
    }
    Lines added;
    for (qsizetype w = 0; w < wanted.size(); ++w)
        if (!found[w])
            added << wanted[w].first + '=' + wanted[w].second + lineEnd((*lines)[header]);
    if (added.isEmpty())
        return changed;
    // The last line of a file without a final line break gets one before the keys that follow it.
    if (lastKey + 1 == lines->size())
        lines->append(QByteArray());
    for (qsizetype k = 0; k < added.size(); ++k)
        lines->insert(lastKey + 1 + k, added[k]);
    return true;
}

// The file with the section appended: a blank line before it unless the file is empty or ends with one.
QByteArray withSection(QByteArray content, const QByteArray& dsn, const QList<QPair<QByteArray, QByteArray>>& wanted)
{
    if (!content.isEmpty() && !content.endsWith('\n'))
        content += '\n';
    const QByteArray body = content.chopped(content.isEmpty() ? 0 : 1);
    if (!body.mid(body.lastIndexOf('\n') + 1).trimmed().isEmpty())
        content += '\n';
    content += '[' + dsn + "]\n";
    for (const auto& [key, value] : wanted)
        content += key + '=' + value + '\n';
    return content;
}

bool readFile(const QString& path, QByteArray* content, QString* reason)
{
    if (!QFileInfo::exists(path))
        return true;
    return WholeFile::read(path, content, reason);
}

class ConfigMode
{
public:
    explicit ConfigMode(std::optional<Scope> scope)
    {
        SQLSetConfigMode(!scope ? ODBC_BOTH_DSN : *scope == Scope::System ? ODBC_SYSTEM_DSN : ODBC_USER_DSN);
    }
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
    // unixODBC reads the home folder of the account the program runs as, not $HOME (which sudo -E keeps).
    const struct passwd* account = ::getpwuid(::getuid());
    const QString home = account && account->pw_dir ? QString::fromLocal8Bit(account->pw_dir) : QStringLiteral("/home");
    return QDir(home).filePath(QStringLiteral(".odbc.ini"));
}

std::optional<Scope> entryScope(const QString& dsn)
{
    for (const Scope scope : {Scope::User, Scope::System}) {
        QByteArray content;
        QString reason;
        if (!readFile(iniFile(scope), &content, &reason))
            continue;
        const Lines lines = content.split('\n');
        if (readable(lines) && findSection(lines, dsn.toUtf8(), scope) < lines.size())
            return scope;
    }
    return std::nullopt;
}

Scope registrationScope(const QString& dsn)
{
    if (entryScope(dsn) == Scope::User)
        return Scope::User;
    // An entry in a system file that unixODBC ignores would be found by no connection.
    return writable(iniFile(Scope::System)) && unixOdbcReads(Scope::System) ? Scope::System : Scope::User;
}

bool unixOdbcReads(Scope scope)
{
    QByteArray content;
    QString reason;
    // A file that cannot be read at all is said, with its reason, where it is read.
    return !readFile(iniFile(scope), &content, &reason) || readable(content.split('\n'));
}

Lock::Lock(Scope scope, std::chrono::milliseconds wait) : m_path(iniFile(scope))
{
    if (heldLocks().contains(m_path))
        return;
    // The lock is on a file of its own: the ini file itself is replaced, not rewritten.
    const QByteArray name = QFile::encodeName(m_path + QStringLiteral(".lock"));
    m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // A lock file that another account left (a home folder shared with root) can still be locked through reading.
    // Where there is none, the reason is why it could not be made.
    const int error = errno;
    if (m_fd < 0 && error == EACCES)
        m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    m_error = m_fd < 0 ? qt_error_string(error) : takeLock(m_fd, wait);
    if (!m_error.isEmpty() && m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_owner = true;
    heldLocks().append(m_path);
}

Lock::~Lock()
{
    if (!m_owner)
        return;
    heldLocks().removeOne(m_path);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool configDataSource(const QString& dsn, const QString& driver, const Attributes& attributes, QString* error,
                      Scope* usedScope)
{
    const Scope scope = registrationScope(dsn);
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

    QList<QPair<QByteArray, QByteArray>> wanted{{QByteArrayLiteral("Driver"), driver.toUtf8()}};
    for (const auto& [key, value] : attributes)
        wanted.append({key.toUtf8(), value.toUtf8()});
    // The file is worked on as bytes: what is not the program's is written back as it was read, whatever its
    // encoding.
    const Lock lock(scope);
    QByteArray content;
    QString reason;
    if (!readFile(path, &content, &reason))
        return fail(QStringLiteral("Cannot read %1: %2").arg(path, reason));
    const QByteArray section = dsn.toUtf8();
    Lines lines = content.split('\n');
    const qsizetype header = findSection(lines, section, scope);
    bool changed = true;
    if (header == lines.size()) {
        content = withSection(content, section, wanted);
    } else {
        qsizetype end = header + 1;
        while (end < lines.size() && !isSection(lines[end], scope))
            ++end;
        changed = setKeys(&lines, header, end, wanted);
        content = lines.join('\n');
    }
    // Programs starting together each read the entry; rewriting it unchanged would only race with their reads.
    if (changed && !WholeFile::write(path, content, &reason))
        return fail(QStringLiteral("Cannot write %1: %2").arg(path, reason));
    forgetWhatTheInstallerRead();
    return true;
}

QString attribute(const QString& dsn, const QString& key, std::optional<Scope> scope)
{
    ConfigMode mode(scope);
    char buffer[4096] = {};
    SQLGetPrivateProfileString(dsn.toLocal8Bit().constData(), key.toLocal8Bit().constData(), "", buffer, sizeof(buffer),
                               "odbc.ini");
    return QString::fromLocal8Bit(buffer);
}

} // namespace OdbcInstaller
