#include "platform/odbc/OdbcInstaller.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <odbcinst.h>

// Exported by libodbcinst but declared only in its internal header.
extern "C" {
char* odbcinst_system_file_path(char* buffer);
char* odbcinst_user_file_path(char* buffer);
}

namespace OdbcInstaller
{
namespace
{

QString installerError()
{
    QString text;
    for (WORD i = 1; i <= 8; ++i) {
        DWORD code = 0;
        char message[SQL_MAX_MESSAGE_LENGTH] = {};
        WORD length = 0;
        const RETCODE rc = SQLInstallerError(i, &code, message, sizeof(message), &length);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            break;
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QString::fromLocal8Bit(message);
    }
    return text.isEmpty() ? QStringLiteral("ODBC installer error") : text;
}

// The installer only writes into an ini file that exists.
bool ensureFile(const QString& path)
{
    if (QFileInfo::exists(path))
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly);
}

// Tried for real rather than by permission bits, which say nothing for the superuser.
bool writable(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists()) {
        QFile f(path);
        return info.isFile() && f.open(QIODevice::Append);
    }
    const QFileInfo dir(info.absolutePath());
    return dir.isDir() && dir.isWritable();
}

class ConfigMode
{
public:
    explicit ConfigMode(Scope scope) { SQLSetConfigMode(scope == Scope::System ? ODBC_SYSTEM_DSN : ODBC_USER_DSN); }
    ~ConfigMode() { SQLSetConfigMode(ODBC_BOTH_DSN); }
    ConfigMode(const ConfigMode&) = delete;
    ConfigMode& operator=(const ConfigMode&) = delete;
};

} // namespace

QString iniFile(Scope scope)
{
    char buffer[4096] = {};
    if (scope == Scope::System) {
        // The library fills the buffer only on its first call and returns its kept copy on later ones.
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
    if (!ensureFile(iniFile(scope))) {
        if (error)
            *error = QStringLiteral("Cannot create %1").arg(iniFile(scope));
        return false;
    }
    ConfigMode mode(scope);
    const QByteArray name = dsn.toLocal8Bit();
    if (!SQLWriteDSNToIni(name.constData(), driver.toLocal8Bit().constData())) {
        if (error)
            *error = installerError();
        return false;
    }
    for (const auto& [key, value] : attributes) {
        if (!SQLWritePrivateProfileString(name.constData(), key.toLocal8Bit().constData(),
                                          value.toLocal8Bit().constData(), "odbc.ini")) {
            if (error)
                *error = installerError();
            return false;
        }
    }
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
