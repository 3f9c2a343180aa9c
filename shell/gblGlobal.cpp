#include "shell/gblGlobal.h"

#include "platform/dialogs/MsgBox.h"
#include "platform/files/FileGuard.h"
#include "platform/files/WholeFile.h"
#include "platform/odbc/OdbcInstaller.h"
#include "shell/ConnectionPolicy.h"
#include "shell/DatabaseFile.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSqlError>
#include <QSqlQuery>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <utility>

const char* const kConnectionName = "gConnection";
const char* const kDataSourceName = "dral";
const char* const kDatabasePassword = "wubtej";

QString gDatabasePath;
QString gCompanyName;
bool gDroppedOnGrid = false;
bool gPastePending = false;
bool gPasteForNewSurvey = false;
bool gSearchOpenFeedback = false;
bool gSearchOpenImprovement = false;
int gSearchItemIndex = 0;
bool gFromSearch = false;
QString gSearchHitId;

namespace
{

QString& programFolderOverride()
{
    static QString folder;
    return folder;
}

// Set once a lock of the ini file that could not be taken has been said.
bool& unlockedSaid()
{
    static bool said = false;
    return said;
}

// A lock of the ini file that cannot be taken is said once a start; the registration goes on without it, as programs
// starting together then only risk reading the entry while it is replaced.
void sayIfUnlocked(const OdbcInstaller::Lock& lock, const QString& dsnName)
{
    if (lock.error().isEmpty() || std::exchange(unlockedSaid(), true))
        return;
    MsgBox::show(
        QStringLiteral("The lock of the file %1 cannot be taken: %2. The data source %3 is registered without it.")
            .arg(QDir::toNativeSeparators(lock.path()), lock.error(), dsnName),
        MsgBox::Information);
}

// The SQLite ODBC driver stands in for the desktop database driver; its file attribute is "Database".
bool registerDataSource(const QString& dsnName, const QString& databasePath)
{
    const OdbcInstaller::Lock lock(OdbcInstaller::registrationScope(dsnName));
    sayIfUnlocked(lock, dsnName);
    const OdbcInstaller::Attributes attributes = {
        {QStringLiteral("Database"), databasePath},
        {QStringLiteral("FKSupport"), QStringLiteral("1")},  // cascading deletes
        {QStringLiteral("NoCreat"), QStringLiteral("1")},    // never create an empty file in its place
        {QStringLiteral("Timeout"), QStringLiteral("2000")}, // a locked file fails after 2 s instead of hanging
        // Answers and report tables are written row by row, each statement committing on its own: in the
        // write-ahead log such a commit costs no wait for the disk. A transaction stays all or nothing.
        {QStringLiteral("JournalMode"), QStringLiteral("WAL")},
        {QStringLiteral("SyncPragma"), QStringLiteral("NORMAL")},
    };
    return OdbcInstaller::configDataSource(dsnName, QStringLiteral("SQLite3"), attributes);
}

// Start-up's one look at the database, so that a file the program cannot use, or a folder where the
// write-ahead log cannot be written, is said once instead of by every statement.
bool databaseUsable(const QString& databasePath)
{
    const QFileInfo file(databasePath);
    const QString folder = file.absolutePath();
    if (!QFileInfo(folder).isWritable()) {
        MsgBox::show(QStringLiteral("The database cannot be used: the folder %1 cannot be written, and the database "
                                    "keeps its log there.")
                         .arg(QDir::toNativeSeparators(folder)),
                     MsgBox::Critical);
        return false;
    }
    const QString reason = DatabaseFile::unusableReason(databasePath);
    if (!reason.isEmpty()) {
        MsgBox::show(QStringLiteral("The database %1 cannot be used: %2.")
                         .arg(QDir::toNativeSeparators(file.absoluteFilePath()), reason),
                     MsgBox::Critical);
        return false;
    }
    return true;
}

// The file SQLite opened for the connection, as the database found at start-up is compared with it.
QString openedFile(const QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA database_list")))
        return QString();
    while (query.next())
        if (query.value(1).toString() == QLatin1String("main"))
            return QFileInfo(query.value(2).toString()).canonicalFilePath();
    return QString();
}

// The data source is one entry for every copy of the program on the machine; another start may have pointed it at
// its own folder between this program's registration and its open.
// Set while the data source leads to another database than the program's own.
bool& onOtherDatabase()
{
    static bool other = false;
    return other;
}

// Names where the data source leads and the file holding its entry, so that the user can mend the entry.
QString otherDatabaseText()
{
    const QString dsn = QLatin1String(kDataSourceName);
    const auto scope = OdbcInstaller::entryScope(dsn);
    const QString ini = OdbcInstaller::iniFile(scope ? *scope : OdbcInstaller::registrationScope(dsn));
    return QStringLiteral("The database %1 cannot be opened: the data source %2 leads to another database. It leads to "
                          "\"%3\", as its entry in %4 says.")
        .arg(QDir::toNativeSeparators(gDatabasePath), dsn,
             QDir::toNativeSeparators(OdbcInstaller::attribute(dsn, QStringLiteral("Database"), std::nullopt)),
             QDir::toNativeSeparators(ini));
}

// unixODBC ignores a whole ini file that does not begin with its sections; an entry that could only be written to such
// a file is found by no connection. "" when unixODBC reads the file.
QString unreadEntryText()
{
    const QString dsn = QLatin1String(kDataSourceName);
    const OdbcInstaller::Scope scope = OdbcInstaller::registrationScope(dsn);
    if (OdbcInstaller::unixOdbcReads(scope))
        return QString();
    return QStringLiteral(
               "The database %1 cannot be opened: unixODBC cannot read the file %2, which holds the entry of "
               "the data source %3. A line that is not a comment comes before its first section.")
        .arg(QDir::toNativeSeparators(gDatabasePath), QDir::toNativeSeparators(OdbcInstaller::iniFile(scope)), dsn);
}

bool onOwnDatabase(const QSqlDatabase& db)
{
    if (gDatabasePath.isEmpty())
        return true;
    const QString own = QFileInfo(gDatabasePath).canonicalFilePath();
    return !own.isEmpty() && openedFile(db) == own;
}

} // namespace

QSqlDatabase gConnection()
{
    return QSqlDatabase::database(QLatin1String(kConnectionName), false);
}

QString programFolder()
{
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    return QCoreApplication::applicationDirPath();
}

QString programFile(const QString& name)
{
    return QDir(programFolder()).filePath(name);
}

void setProgramFolder(const QString& folder)
{
    programFolderOverride() = folder;
}

StartupResult Main()
{
    if (toCreateDSN(QLatin1String(kDataSourceName), gDatabasePath) == StartupResult::EndProgram)
        return StartupResult::EndProgram;
    // The program does not run on a database it cannot use, as on none at all.
    if (!databaseUsable(gDatabasePath))
        return StartupResult::EndProgram;
    toOpenConnection();
    // Nothing may be stored in another folder's database.
    if (onOtherDatabase())
        return StartupResult::EndProgram;
    gCompanyName = toReadCompanyName();
    return StartupResult::Continue;
}

StartupResult toCreateDSN(const QString& dsnName, QString& databasePath)
{
    unlockedSaid() = false;
    databasePath.clear();
    const QString beside = programFile(QStringLiteral("Pellorin.mdb"));
    if (QFileInfo(beside).isFile()) {
        databasePath = QFileInfo(beside).absoluteFilePath();
        registerDataSource(dsnName, databasePath);
        return StartupResult::Continue;
    }
    if (MsgBox::show(QStringLiteral("Database not found in the current directory,...Locate the database to connect"),
                     MsgBox::OkCancel, QStringLiteral("Ostrel")) == MsgBox::Cancel)
        return StartupResult::EndProgram;
    databasePath = MsgBox::getOpenFileName(
                       QString(), programFolder(),
                       QStringLiteral("All Files (Pellorin.mdb)|Pellorin.mdb|Mdb Files(Pellorin.mdb)|Pellorin.mdb"))
                       .trimmed();
    if (databasePath.isEmpty()) {
        MsgBox::show(QStringLiteral("Must choose the database"));
        return StartupResult::EndProgram;
    }
    if (!registerDataSource(dsnName, databasePath))
        MsgBox::show(QStringLiteral("DSN Creation Failed"));
    return StartupResult::Continue;
}

void toOpenConnection()
{
    const QString name = QLatin1String(kConnectionName);
    QSqlDatabase db = QSqlDatabase::contains(name) ? QSqlDatabase::database(name, false)
                                                   : QSqlDatabase::addDatabase(QStringLiteral("QODBC"), name);
    // While the connection lives, only SQLite opens the database's files: any other close of them drops its locks.
    FileGuard::setDatabaseFile(gDatabasePath);
    // The driver builds "DSN=dral;PWD=wubtej" from these: an empty user name adds no "UID=".
    db.setDatabaseName(QLatin1String(kDataSourceName));
    db.setUserName(QString());
    db.setPassword(QLatin1String(kDatabasePassword));
    db.close();
    bool opened = db.open();
    bool own = opened && onOwnDatabase(db);
    if (opened && !own) {
        // Registered and opened again under the ini file's lock, so that no other start rewrites the entry between;
        // the lock is let go before any message waits for the user. A lock already found kept this start is not
        // waited for again.
        const OdbcInstaller::Lock lock(OdbcInstaller::registrationScope(QLatin1String(kDataSourceName)),
                                       unlockedSaid() ? std::chrono::milliseconds(0) : OdbcInstaller::Lock::patience);
        sayIfUnlocked(lock, QLatin1String(kDataSourceName));
        registerDataSource(QLatin1String(kDataSourceName), gDatabasePath);
        db.close();
        opened = db.open();
        own = opened && onOwnDatabase(db);
    }
    if (!opened) {
        const QString unread = unreadEntryText();
        if (unread.isEmpty())
            toShowConnectionErrors(ProviderError(Db::errorRecords(db.lastError())), QStringLiteral("Error :"));
        else
            MsgBox::show(unread, MsgBox::Critical);
        return;
    }
    if (!own) {
        db.close();
        // Said once: every later data procedure tries the connection again. The driver manager may still go by what it
        // read of the entry before its file was spoilt, and open a database that no file names.
        if (!std::exchange(onOtherDatabase(), true)) {
            const QString unread = unreadEntryText();
            MsgBox::show(unread.isEmpty() ? otherDatabaseText() : unread, MsgBox::Critical);
        }
        return;
    }
    onOtherDatabase() = false;
    ConnectionPolicy::applyTo(db);
    // A first read opens the write-ahead log, which then stays open with the connection: the log beside the file
    // lives as long as the connection instead of coming and going with each report that reads the file. A file
    // that cannot be read fails here silently; the next data procedure reports it.
    QSqlQuery(db).exec(QStringLiteral("select count(*) from sqlite_master"));
}

bool connectionIsOpen()
{
    return gConnection().isOpen();
}

void toTestConnection()
{
    if (!connectionIsOpen())
        toOpenConnection();
}

void toCloseConnection()
{
    const QString name = QLatin1String(kConnectionName);
    FileGuard::setDatabaseFile(QString());
    if (!QSqlDatabase::contains(name))
        return;
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

void toShowConnectionErrors(const ProviderError& error)
{
    toShowConnectionErrors(error, QStringLiteral("Error : "));
}

void toShowConnectionErrors(const ProviderError& error, const QString& prefix)
{
    for (const ErrorRecord& record : error.records())
        MsgBox::show(prefix + QString::number(record.number) + QStringLiteral("\r\n") + record.description);
}

QString toReplaceQuote(const QString& text)
{
    if (!text.contains(QLatin1Char('\'')))
        return QString();
    QString result = text;
    result.replace(QLatin1Char('\''), QChar(0x2019));
    return result;
}

QString toStoredText(const QString& text)
{
    const QString replaced = toReplaceQuote(text);
    return replaced.isEmpty() ? text : replaced;
}

void toCenterForm(QWidget* form, double heightShare)
{
    if (!form)
        return;
    QWidget* frame = form;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        frame = sub;
    const QScreen* screen = frame->screen() ? frame->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    // Whole numbers by round-half-even, then truncating division, as the placement has always been computed.
    const auto whole = [](double v) { return static_cast<int>(std::nearbyint(v)); };
    const int top = whole(area.height() * heightShare) / 2 - whole(frame->height()) / 2;
    const int left = whole(area.width()) / 2 - whole(frame->width()) / 2;
    if (frame->isWindow())
        frame->move(area.x() + left, area.y() + top);
    else
        placeWithinArea(frame, left, top);
}

void placeWithinArea(QWidget* frame, int left, int top)
{
    const QWidget* area = frame->parentWidget();
    const auto within = [](int at, int size, int room) { return std::max(0, std::min(at, room - size)); };
    frame->move(within(left, frame->width(), area->width()), within(top, frame->height(), area->height()));
}

int toGetCustomerID(const QString& name)
{
    try {
        const QVariant id =
            Db::scalar(QStringLiteral("select custid from customer where custname=? order by rowid"), {name});
        return id.isValid() ? id.toInt() : 0;
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return 0;
    }
}

QString toReadCompanyName()
{
    // Read by hand: an ini reader would split a name such as "Smith, Jones & Co" at its comma.
    QByteArray bytes;
    if (!WholeFile::read(programFile(QStringLiteral("installation.ini")), &bytes))
        return QString();
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.startsWith(QStringLiteral("CompanyName="), Qt::CaseInsensitive))
            return t.mid(12).trimmed();
    }
    return QString();
}
