#include "platform/dialogs/MsgBox.h"
#include "platform/odbc/OdbcInstaller.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/Transaction.h"
#include "shell/gblGlobal.h"
#include "support/AppFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

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
};

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
