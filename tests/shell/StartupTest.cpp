#include "platform/dialogs/MsgBox.h"
#include "platform/files/WholeFile.h"
#include "platform/odbc/OdbcInstaller.h"
#include "shell/DatabaseFile.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/Transaction.h"
#include "shell/gblGlobal.h"
#include "support/AppFixture.h"
#include "support/PermissionBits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <fcntl.h>
#include <pwd.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <future>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace
{

class Startup : public AppFixture
{
protected:
    Startup() { m_connect = false; }
    QString registered() const
    {
        return OdbcInstaller::attribute(QStringLiteral("dral"), QStringLiteral("Database"),
                                        OdbcInstaller::Scope::System);
    }
    static QString iniPath() { return OdbcInstaller::iniFile(OdbcInstaller::Scope::System); }
    static struct stat status(const QString& path)
    {
        struct stat st = {};
        ::stat(QFile::encodeName(path).constData(), &st);
        return st;
    }
};

// Makes a folder read-only as a read-only mount does: for everyone, root included. Root gets a read-only bind
// mount in a mount namespace of this thread's own; false where that is not allowed.
bool makeReadOnly(const QString& folder)
{
    if (::geteuid() != 0)
        return QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = QFile::encodeName(folder);
    return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void makeWritable(const QString& folder)
{
    if (::geteuid() != 0)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    else
        ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
}

} // namespace

TEST_F(Startup, DatabaseBesideTheProgramIsRegisteredSilentlyAndOpened)
{
    ASSERT_EQ(Main(), StartupResult::Continue);
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    EXPECT_EQ(registered(), dbPath());
    EXPECT_EQ(gDatabasePath, dbPath());
    EXPECT_TRUE(connectionIsOpen());
    EXPECT_EQ(gCompanyName, QStringLiteral("Example Trading Ltd"));

    // Registered anew at every start: a stale path is overwritten.
    OdbcInstaller::configDataSource(QStringLiteral("dral"), QStringLiteral("SQLite3"),
                                    {{QStringLiteral("Database"), QStringLiteral("/nowhere/old.mdb")}});
    toCloseConnection();
    ASSERT_EQ(Main(), StartupResult::Continue);
    EXPECT_EQ(registered(), dbPath());
}

TEST_F(Startup, MissingDatabaseCancelEndsBeforeAnyDialog)
{
    QFile::remove(dbPath());
    MsgBox::setNextAnswer(MsgBox::Cancel);
    EXPECT_EQ(Main(), StartupResult::EndProgram);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("Database not found in the current directory,...Locate the database to connect"));
    EXPECT_EQ(MsgBox::shown()[0].style, 1);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Ostrel"));
    EXPECT_TRUE(MsgBox::fileDialogsShown().isEmpty());
    EXPECT_FALSE(connectionIsOpen());
}

TEST_F(Startup, MissingDatabaseLocatedElsewhereIsRegistered)
{
    QTemporaryDir other;
    const QString elsewhere = QDir(other.path()).filePath(QStringLiteral("Pellorin.mdb"));
    ASSERT_TRUE(QFile::rename(dbPath(), elsewhere));
    MsgBox::setNextAnswer(MsgBox::Ok);
    MsgBox::setNextFileName(QStringLiteral("  ") + elsewhere + QStringLiteral(" "));
    ASSERT_EQ(Main(), StartupResult::Continue);
    ASSERT_EQ(MsgBox::fileDialogsShown().size(), 1);
    EXPECT_EQ(MsgBox::fileDialogsShown()[0].filter,
              QStringLiteral("All Files (Pellorin.mdb)|Pellorin.mdb|Mdb Files(Pellorin.mdb)|Pellorin.mdb"));
    EXPECT_EQ(registered(), elsewhere);
    EXPECT_TRUE(connectionIsOpen());
}

TEST_F(Startup, CancelledFileDialogEndsTheProgram)
{
    QFile::remove(dbPath());
    MsgBox::setNextAnswer(MsgBox::Ok);
    MsgBox::setNextFileName(QString());
    EXPECT_EQ(Main(), StartupResult::EndProgram);
    ASSERT_EQ(MsgBox::shown().size(), 2);
    EXPECT_EQ(MsgBox::shown()[1].text, QStringLiteral("Must choose the database"));
    EXPECT_EQ(MsgBox::shown()[1].style, 0);
    EXPECT_TRUE(MsgBox::shown()[1].title.isEmpty());
}

TEST_F(Startup, AnUnchangedEntryIsLeftAloneAndRegistrationsAtOnceLeaveItWhole)
{
    ASSERT_EQ(Main(), StartupResult::Continue);
    EXPECT_EQ(registered(), dbPath()); // read once, so that a stale reading would show below
    const QString ini = OdbcInstaller::iniFile(OdbcInstaller::Scope::System);
    const auto status = [&ini] {
        struct stat st = {};
        ::stat(QFile::encodeName(ini).constData(), &st);
        return st;
    };
    const struct stat first = status();
    toCloseConnection();
    ASSERT_EQ(Main(), StartupResult::Continue);
    const struct stat second = status();
    EXPECT_EQ(second.st_ino, first.st_ino);
    EXPECT_EQ(second.st_mtim.tv_sec, first.st_mtim.tv_sec);
    EXPECT_EQ(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
    toCloseConnection();

    // Programs registering at once, with entries that differ: every reading of the file finds the entry whole,
    // and no program's entry is lost to another's.
    const auto entry = [](const QString& database) {
        return OdbcInstaller::Attributes{{"Database", database}, {"FKSupport", "1"},     {"NoCreat", "1"},
                                         {"Timeout", "2000"},    {"JournalMode", "WAL"}, {"SyncPragma", "NORMAL"}};
    };
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::atomic<int> failed{0};
    std::thread reader([&] {
        while (!done) {
            QFile file(ini);
            if (!file.open(QIODevice::ReadOnly)) {
                ++torn;
                continue;
            }
            const QString text = QString::fromUtf8(file.readAll());
            const qsizetype at = text.indexOf(QStringLiteral("[dral]"));
            const QString section = text.mid(at, text.indexOf(QStringLiteral("\n["), at + 1) - at);
            if (at < 0 || section.count(QLatin1Char('=')) != 7 || !section.contains(QStringLiteral("SyncPragma=")))
                ++torn;
        }
    });
    std::vector<std::thread> programs;
    for (int i = 0; i < 8; ++i) {
        programs.emplace_back([&, i] {
            for (int round = 0; round < 20; ++round) {
                const QString database = QStringLiteral("/program%1/Pellorin.mdb").arg((i + round) % 2);
                if (!OdbcInstaller::configDataSource(QStringLiteral("dral"), QStringLiteral("SQLite3"),
                                                     entry(database)))
                    ++failed;
            }
            if (!OdbcInstaller::configDataSource(QStringLiteral("own%1").arg(i), QStringLiteral("SQLite3"),
                                                 entry(QStringLiteral("/own%1.mdb").arg(i))))
                ++failed;
        });
    }
    for (std::thread& t : programs)
        t.join();
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(failed, 0);
    EXPECT_TRUE(registered().startsWith(QStringLiteral("/program")));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(OdbcInstaller::attribute(QStringLiteral("own%1").arg(i), QStringLiteral("Database"),
                                           OdbcInstaller::Scope::System),
                  QStringLiteral("/own%1.mdb").arg(i));
}

TEST_F(Startup, UnwritableSystemIniFallsBackToTheUsersDataSource)
{
    // A system ini that cannot be written (a folder in its place): the data source goes to the user's ini.
    const QString sysIni = QDir(odbcDir()).filePath(QStringLiteral("odbc.ini"));
    // However often it is asked in one run, the installer names the same file.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(OdbcInstaller::iniFile(OdbcInstaller::Scope::System), sysIni);
    ASSERT_TRUE(QFile::remove(sysIni));
    ASSERT_TRUE(QDir().mkpath(sysIni));
    ASSERT_EQ(Main(), StartupResult::Continue);
    EXPECT_EQ(OdbcInstaller::attribute(QStringLiteral("dral"), QStringLiteral("Database"), OdbcInstaller::Scope::User),
              dbPath());
    EXPECT_TRUE(connectionIsOpen());
}

TEST_F(Startup, UnopenableDataSourceShowsEachErrorAndIsRetriedLater)
{
    ASSERT_EQ(toCreateDSN(QStringLiteral("dral"), gDatabasePath), StartupResult::Continue);
    const QString moved = dbPath() + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(dbPath(), moved));
    toOpenConnection();
    EXPECT_FALSE(connectionIsOpen());
    ASSERT_FALSE(MsgBox::shown().isEmpty());
    for (const MsgBox::Shown& s : MsgBox::shown()) {
        EXPECT_TRUE(s.text.startsWith(QStringLiteral("Error :"))) << s.text.toStdString();
        EXPECT_FALSE(s.text.startsWith(QStringLiteral("Error : ")));
        EXPECT_TRUE(s.text.contains(QStringLiteral("\r\n")));
        EXPECT_EQ(s.style, 0);
    }
    // The next data access reopens the connection.
    ASSERT_TRUE(QFile::rename(moved, dbPath()));
    MsgBox::clearRecords();
    toTestConnection();
    EXPECT_TRUE(connectionIsOpen());
    EXPECT_TRUE(MsgBox::shown().isEmpty());
}

TEST_F(Startup, UnusableDatabaseIsToldOnceAndTheProgramDoesNotRunOnIt)
{
    const auto cutShort = [this] { ASSERT_TRUE(QFile::resize(dbPath(), 8 * 1024)); };
    const auto otherTables = [this] {
        ASSERT_TRUE(QFile::remove(dbPath()));
        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(dbPath());
            ASSERT_TRUE(db.open());
            QSqlQuery(db).exec(QStringLiteral("create table notes (body text)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    };
    const auto oneTableDropped = [this] { run(QStringLiteral("drop table actionplan")); };
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"cut to 8 KB", cutShort}, {"none of the program's tables", otherTables}, {"a table missing", oneTableDropped}};
    for (const auto& [what, spoil] : cases) {
        SCOPED_TRACE(what);
        toCloseConnection();
        QFile::remove(dbPath());
        prepareFolder();
        spoil();
        MsgBox::clearRecords();
        EXPECT_EQ(Main(), StartupResult::EndProgram);
        ASSERT_EQ(MsgBox::shown().size(), 1);
        EXPECT_TRUE(MsgBox::shown()[0].text.contains(dbPath())) << MsgBox::shown()[0].text.toStdString();
        EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::Critical);
        EXPECT_FALSE(connectionIsOpen());
    }
    // A sound file starts as before.
    QFile::remove(dbPath());
    prepareFolder();
    MsgBox::clearRecords();
    EXPECT_EQ(Main(), StartupResult::Continue);
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    EXPECT_TRUE(connectionIsOpen());
}

TEST_F(Startup, UnwritableFolderIsToldOnceAndTheProgramDoesNotRunOnIt)
{
    if (!makeReadOnly(folder()))
        GTEST_SKIP() << "no read-only folder can be made here";
    EXPECT_EQ(Main(), StartupResult::EndProgram);
    makeWritable(folder());
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(folder())) << MsgBox::shown()[0].text.toStdString();
    EXPECT_FALSE(connectionIsOpen());
}

TEST_F(Startup, ARegistrationChangesOnlyTheProgramsKeysAndLeavesEveryOtherByte)
{
    const QByteArray head = "; data sources of this machine\n[archive]\nDriver=SQLite3\nDatabase=/p\xe9th\n\n[dral]\r\n"
                            "Driver=SQLite3\r\nDatabase=/elsewhere/Pellorin.mdb\r\nTrace=Yes\r\nFKSupport=1\r\n";
    const QByteArray tail = "\r\n# the reports' own entry follows\n[reports]\nDriver=SQLite3\nDatabase=/r.db";
    {
        QFile ini(iniPath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(head + tail);
    }
    ASSERT_EQ(Main(), StartupResult::Continue);
    QByteArray expected = head + "NoCreat=1\r\nTimeout=2000\r\nJournalMode=WAL\r\nSyncPragma=NORMAL\r\n" + tail;
    expected.replace("/elsewhere/Pellorin.mdb", QFile::encodeName(dbPath()));
    QFile ini(iniPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll().toStdString(), expected.toStdString());
    ini.close();

    // The user's own key makes no difference: the next start leaves the file as it is.
    const struct stat first = status(iniPath());
    toCloseConnection();
    ASSERT_EQ(Main(), StartupResult::Continue);
    const struct stat second = status(iniPath());
    EXPECT_EQ(second.st_ino, first.st_ino);
    EXPECT_EQ(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
}

TEST_F(Startup, AnEntryPointedElsewhereBeforeTheOpenStillOpensTheProgramsOwnDatabase)
{
    QTemporaryDir other;
    const QString othersDatabase = QDir(other.path()).filePath(QStringLiteral("Pellorin.mdb"));
    ASSERT_TRUE(
        DatabaseFile::createFromSchema(othersDatabase, QStringLiteral(QUORVANE_SOURCE_DIR "/resources/schema.sql")));
    // Another start registers its own folder's database between this program's registration and its open.
    const auto anotherStart = [&othersDatabase] {
        ASSERT_TRUE(OdbcInstaller::configDataSource(QStringLiteral("dral"), QStringLiteral("SQLite3"),
                                                    {{QStringLiteral("Database"), othersDatabase}}));
    };
    const auto opened = [] {
        QSqlQuery query(gConnection());
        query.exec(QStringLiteral("PRAGMA database_list"));
        return query.next() ? QFileInfo(query.value(2).toString()).canonicalFilePath() : QString();
    };
    ASSERT_EQ(toCreateDSN(QStringLiteral("dral"), gDatabasePath), StartupResult::Continue);
    anotherStart();
    toOpenConnection();
    ASSERT_TRUE(connectionIsOpen());
    EXPECT_EQ(opened(), QFileInfo(dbPath()).canonicalFilePath());
    EXPECT_EQ(registered(), dbPath());
    EXPECT_TRUE(MsgBox::shown().isEmpty());

    // An entry that cannot be set back (the disk is full) is told once, and the other database is not worked on.
    toCloseConnection();
    anotherStart();
    WholeFile::failAfter(0, ENOSPC);
    toOpenConnection();
    WholeFile::failAfter(-1, 0);
    EXPECT_FALSE(connectionIsOpen());
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(dbPath())) << MsgBox::shown()[0].text.toStdString();
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::Critical);
}

TEST_F(Startup, TheEntryIsFoundWrittenAndNamedAsUnixOdbcReadsIt)
{
    // With no ODBCINI, unixODBC reads the user's file in the account's home folder, whatever HOME says.
    const QByteArray userEnv = qgetenv("ODBCINI");
    const QByteArray homeEnv = qgetenv("HOME");
    qunsetenv("ODBCINI");
    qputenv("HOME", odbcDir().toLocal8Bit());
    const QString accountsFile = OdbcInstaller::iniFile(OdbcInstaller::Scope::User);
    qputenv("ODBCINI", userEnv);
    qputenv("HOME", homeEnv);
    EXPECT_EQ(accountsFile, QDir(QString::fromLocal8Bit(::getpwuid(::getuid())->pw_dir)).filePath(".odbc.ini"));

    const QString userIni = OdbcInstaller::iniFile(OdbcInstaller::Scope::User);
    const QByteArray own = "Database=" + QFile::encodeName(dbPath()) + "\n";
    const QByteArray added = "FKSupport=1\nNoCreat=1\nTimeout=2000\nJournalMode=WAL\nSyncPragma=NORMAL\n";
    const struct {
        const char* what;
        QString ini;
        QByteArray header, database;
    } cases[] = {
        {"indented key", iniPath(), "[dral]\n", "  Database = /nowhere/Pellorin.mdb\n"},
        {"tab before the key", iniPath(), "[dral]\n", "\tDatabase=" + QFile::encodeName(dbPath()) + "\n"},
        {"header with a comment", iniPath(), "[dral] ; the survey program\n", "Database=/nowhere/Pellorin.mdb\n"},
        {"the user's own entry", userIni, "# mine\n[dral]\n", "Database=/nowhere/Pellorin.mdb\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        toCloseConnection();
        prepareFolder();
        MsgBox::clearRecords();
        ASSERT_TRUE(WholeFile::write(c.ini, c.header + "Driver=SQLite3\n" + c.database));
        EXPECT_EQ(Main(), StartupResult::Continue);
        EXPECT_TRUE(MsgBox::shown().isEmpty());
        EXPECT_TRUE(connectionIsOpen());
        EXPECT_EQ(contents(c.ini).toStdString(), (c.header + "Driver=SQLite3\n" + own + added).toStdString());
        EXPECT_EQ(OdbcInstaller::attribute(QStringLiteral("dral"), QStringLiteral("Database"), std::nullopt), dbPath());
    }

    // The user's entry leads to another database and cannot be set back: the message says where, and in which file.
    QTemporaryDir other;
    const QString othersDatabase = QDir(other.path()).filePath(QStringLiteral("Pellorin.mdb"));
    ASSERT_TRUE(
        DatabaseFile::createFromSchema(othersDatabase, QStringLiteral(QUORVANE_SOURCE_DIR "/resources/schema.sql")));
    ASSERT_TRUE(OdbcInstaller::configDataSource(QStringLiteral("dral"), QStringLiteral("SQLite3"),
                                                {{QStringLiteral("Database"), othersDatabase}}));
    toCloseConnection();
    MsgBox::clearRecords();
    WholeFile::failAfter(0, ENOSPC);
    EXPECT_EQ(Main(), StartupResult::EndProgram);
    WholeFile::failAfter(-1, 0);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(othersDatabase)) << MsgBox::shown()[0].text.toStdString();
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(userIni));

    // A lock that cannot be taken is said once a start, though the entry is registered twice; the start goes on.
    const QString lock = iniPath() + QStringLiteral(".lock");
    QFile::remove(userIni);
    QFile::remove(lock);
    ASSERT_TRUE(QDir().mkpath(lock));
    toCloseConnection();
    MsgBox::clearRecords();
    ASSERT_EQ(toCreateDSN(QStringLiteral("dral"), gDatabasePath), StartupResult::Continue);
    ASSERT_TRUE(OdbcInstaller::configDataSource(QStringLiteral("dral"), QStringLiteral("SQLite3"),
                                                {{QStringLiteral("Database"), othersDatabase}}));
    toOpenConnection();
    QDir(lock).removeRecursively();
    EXPECT_TRUE(connectionIsOpen());
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(iniPath())) << MsgBox::shown()[0].text.toStdString();

    // A lock that another program keeps is waited for a few seconds at most; the start then goes on and says so.
    // Should the wait not end, the lock is let go after a minute, so that the start fails here instead of hanging.
    const int held = ::open(QFile::encodeName(lock).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    std::promise<void> started;
    std::thread watchdog([held, over = started.get_future()] {
        over.wait_for(std::chrono::seconds(60));
        ::flock(held, LOCK_UN);
    });
    toCloseConnection();
    MsgBox::clearRecords();
    EXPECT_EQ(Main(), StartupResult::Continue);
    started.set_value();
    watchdog.join();
    ::close(held);
    EXPECT_TRUE(connectionIsOpen());
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("The lock of the file %1 cannot be taken: another program holds it. "
                             "The data source dral is registered without it.")
                  .arg(iniPath()));

    // A lock file that cannot be made is said with the reason it could not be made.
    QTemporaryDir closed;
    ASSERT_TRUE(QFile::setPermissions(closed.path(), QFile::ReadOwner | QFile::ExeOwner));
    qputenv("ODBCINI", QFile::encodeName(closed.filePath(QStringLiteral("odbc.ini"))));
    QString reason;
    std::thread([&reason] {
        passPermissionBits(false);
        reason = OdbcInstaller::Lock(OdbcInstaller::Scope::User).error();
    }).join();
    qputenv("ODBCINI", userEnv);
    EXPECT_EQ(reason, QStringLiteral("Permission denied"));
}

TEST_F(Startup, ASystemFileUnixOdbcCannotReadKeepsEveryByteAndTheEntryGoesWhereItIsRead)
{
    const QString userIni = OdbcInstaller::iniFile(OdbcInstaller::Scope::User);
    const QByteArray system[] = {"Trace = No\n\n[reports]\nDriver=SQLite3\n",
                                 "  [dral]\nDriver=SQLite3\nDatabase=/nowhere/Pellorin.mdb\n"};
    for (const QByteArray& content : system) {
        SCOPED_TRACE(content.constData());
        toCloseConnection();
        prepareFolder();
        MsgBox::clearRecords();
        ASSERT_TRUE(WholeFile::write(iniPath(), content));
        EXPECT_EQ(Main(), StartupResult::Continue);
        EXPECT_TRUE(MsgBox::shown().isEmpty());
        EXPECT_TRUE(connectionIsOpen());
        EXPECT_EQ(contents(iniPath()).toStdString(), content.toStdString());
        EXPECT_EQ(OdbcInstaller::attribute(QStringLiteral("dral"), QStringLiteral("Database"), std::nullopt), dbPath());
    }

    // Where unixODBC reads neither file, the one message names the file that holds the entry.
    ASSERT_TRUE(WholeFile::write(userIni, "Trace = No\n"));
    toCloseConnection();
    MsgBox::clearRecords();
    Main();
    EXPECT_FALSE(connectionIsOpen());
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(
        MsgBox::shown()[0].text,
        QStringLiteral("The database %1 cannot be opened: unixODBC cannot read the file %2, which holds the entry "
                       "of the data source dral. A line that is not a comment comes before its first section.")
            .arg(dbPath(), userIni));
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::Critical);
}
