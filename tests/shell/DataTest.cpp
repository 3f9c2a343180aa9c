#include "platform/dialogs/MsgBox.h"
#include "platform/report/ReportData.h"
#include "shell/ConnectionPolicy.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/Transaction.h"
#include "shell/gblGlobal.h"
#include "support/AppFixture.h"
#include "support/OtherProgram.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSqlError>
#include <QSqlQuery>
#include <QWidget>

#include <unistd.h>

namespace
{

class Data : public AppFixture
{
protected:
    // A save of several customers, as the grid windows do it; returns false when the provider refused it.
    bool saveCustomers(const QStringList& names)
    {
        try {
            toTestConnection();
            Transaction t;
            for (const QString& name : names)
                Db::exec(QStringLiteral("insert into customer (custname, Address) values (?, ?)"),
                         {toStoredText(name), QStringLiteral("-")});
            t.commit();
            return true;
        } catch (const ProviderError& e) {
            toShowConnectionErrors(e);
            return false;
        }
    }
};

// The customers a printed report reads from the file by path, beside the shared connection.
QStringList reportedCustomers(const QString& path)
{
    ReportDefinition definition;
    QString error;
    EXPECT_TRUE(ReportDefinition::parse(QStringLiteral("table = customer\ncolumn = custname | Customer | 1\n"),
                                        &definition, &error))
        << error.toStdString();
    ReportData data;
    EXPECT_TRUE(data.load(path, definition, SelectionFormula(), &error)) << error.toStdString();
    QStringList names;
    for (int r = 0; r < data.rowCount(); ++r)
        names << data.value(r, 0).toString();
    return names;
}

} // namespace

TEST_F(Data, WriteAheadLogKeepsSavesWholeAndTheFileReadableByReports)
{
    EXPECT_EQ(Db::scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    EXPECT_EQ(Db::scalar(QStringLiteral("PRAGMA synchronous")).toInt(), 1); // NORMAL
    ASSERT_TRUE(saveCustomers({QStringLiteral("Alpha"), QStringLiteral("Beta")}));
    Db::exec(QStringLiteral("insert into customer (custname, Address) values (?, ?)"),
             {QStringLiteral("Gamma"), QStringLiteral("-")});
    const QStringList committed = {QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")};
    EXPECT_EQ(reportedCustomers(dbPath()), committed);

    // A save in progress is invisible to a report and does not block it; rolled back, it leaves nothing.
    {
        Transaction t;
        Db::exec(QStringLiteral("insert into customer (custname, Address) values (?, ?)"),
                 {QStringLiteral("Pending"), QStringLiteral("-")});
        EXPECT_EQ(reportedCustomers(dbPath()), committed);
    }
    EXPECT_EQ(reportedCustomers(dbPath()), committed);

    // The report only looked: the program writes on, and once it has closed the file holds everything.
    ASSERT_TRUE(saveCustomers({QStringLiteral("Delta")}));
    toCloseConnection();
    EXPECT_FALSE(QFile::exists(dbPath() + QStringLiteral("-wal")));
    EXPECT_EQ(reportedCustomers(dbPath()), committed + QStringList{QStringLiteral("Delta")});
}

TEST_F(Data, ProviderErrorMidSaveLeavesTheDatabaseAsItWas)
{
    ASSERT_TRUE(saveCustomers({QStringLiteral("Alpha"), QStringLiteral("Beta")}));
    run(QStringLiteral("create trigger refuse before insert on customer when new.custname = 'Bad' "
                       "begin select raise(abort, 'refused by trigger'); end"));
    const QString before = snapshot();
    EXPECT_FALSE(saveCustomers({QStringLiteral("Gamma"), QStringLiteral("Bad"), QStringLiteral("Delta")}));
    EXPECT_EQ(snapshot(), before);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.startsWith(QStringLiteral("Error : ")));
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(QStringLiteral("refused by trigger")));
    // No transaction stays open: the next save goes through.
    EXPECT_TRUE(saveCustomers({QStringLiteral("Epsilon")}));
    EXPECT_EQ(value(QStringLiteral("select count(*) from customer")).toInt(), 3);
}

TEST_F(Data, AMessageShownDuringASaveFindsTheDatabaseFreeAndTheSaveStoresNothing)
{
    // Another program asks for the write lock, without waiting, at the moment the box would show.
    QList<bool> otherCouldWrite;
    OtherProgram other(dbPath());
    MsgBox::setBeforeShow([&] {
        ConnectionPolicy::beforeMessage();
        otherCouldWrite << !other.lockedOut();
    });
    const auto insert = [](const char* name) {
        Db::exec(QStringLiteral("insert into customer (custname, Address) values (?, '-')"),
                 {QString::fromLatin1(name)});
    };
    // A box between two statements: the second does not run on its own, and the save's own error path tells.
    try {
        Transaction t;
        insert("Alpha");
        MsgBox::show(QStringLiteral("Saving..."));
        insert("Beta");
        t.commit();
        ADD_FAILURE() << "the save went on after the box";
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
    // A box just before the commit: the commit says so.
    {
        Transaction t;
        insert("Gamma");
        MsgBox::show(QStringLiteral("Saving..."));
        EXPECT_THROW(t.commit(), ProviderError);
    }
    MsgBox::setBeforeShow(&ConnectionPolicy::beforeMessage);
    EXPECT_EQ(otherCouldWrite, QList<bool>({true, true, true}));
    EXPECT_EQ(count(QStringLiteral("customer")), 0);
    ASSERT_EQ(MsgBox::shown().size(), 3);
    EXPECT_EQ(
        MsgBox::shown()[1].text,
        QStringLiteral("Error : 4\r\nThe save was interrupted by a message and undone; nothing of it is stored."));

    // Each interruption was told by its own save: the next one stores whole.
    EXPECT_TRUE(saveCustomers({QStringLiteral("Delta")}));
    EXPECT_EQ(count(QStringLiteral("customer")), 1);
}

TEST_F(Data, TextRoundTripsLiterally)
{
    const QStringList names = {QStringLiteral("O'Brien Ltd"), QStringLiteral("Müller & Søn — Zürich"),
                               QStringLiteral("x'); drop table customer; --"), QStringLiteral("Already ’ typographic")};
    ASSERT_TRUE(saveCustomers(names));
    for (const QString& name : names) {
        const QString stored = toStoredText(name);
        EXPECT_EQ(value(QStringLiteral("select custname from customer where custid=?"), {toGetCustomerID(stored)}),
                  stored);
        EXPECT_GT(toGetCustomerID(stored), 0) << stored.toStdString();
    }
    EXPECT_EQ(value(QStringLiteral("select count(*) from customer")).toInt(), 4);
    EXPECT_EQ(toGetCustomerID(QStringLiteral("O’Brien Ltd")), toGetCustomerID(QStringLiteral("o’brien ltd")));
    EXPECT_EQ(toGetCustomerID(QStringLiteral("Nobody")), 0);
    // Dates travel as dates.
    Db::exec(QStringLiteral("insert into survey (sdate, custid) values (?, ?)"),
             {QDate(2031, 2, 28), toGetCustomerID(QStringLiteral("O’Brien Ltd"))});
    EXPECT_EQ(value(QStringLiteral("select sdate from survey")).toString(), QStringLiteral("2031-02-28"));
    EXPECT_EQ(Db::scalar(QStringLiteral("select sdate from survey")).toDate(), QDate(2031, 2, 28));
}

TEST_F(Data, DuplicateNamesGiveTheFirstRow)
{
    ASSERT_TRUE(saveCustomers({QStringLiteral("Twin"), QStringLiteral("Twin")}));
    EXPECT_EQ(toGetCustomerID(QStringLiteral("Twin")),
              value(QStringLiteral("select min(custid) from customer")).toInt());
}

TEST_F(Data, CascadesRunThroughTheSharedConnection)
{
    ASSERT_TRUE(saveCustomers({QStringLiteral("Keep"), QStringLiteral("Drop")}));
    const int keep = toGetCustomerID(QStringLiteral("Keep"));
    const int drop = toGetCustomerID(QStringLiteral("Drop"));
    for (int cust : {keep, drop})
        Db::exec(QStringLiteral("insert into respondent (custid, respondentname) values (?, 'R')"), {cust});
    Db::exec(QStringLiteral("delete from customer where custid=?"), {drop});
    EXPECT_EQ(value(QStringLiteral("select count(*) from respondent")).toInt(), 1);
    EXPECT_EQ(value(QStringLiteral("select custid from respondent")).toInt(), keep);
}

TEST(SharedProcedures, ReplaceQuote)
{
    EXPECT_EQ(toReplaceQuote(QStringLiteral("O'Brien")), QStringLiteral("O’Brien"));
    EXPECT_TRUE(toReplaceQuote(QStringLiteral("Plain")).isEmpty());
    EXPECT_TRUE(toReplaceQuote(QString()).isEmpty());
    EXPECT_EQ(toReplaceQuote(QStringLiteral("''")), QStringLiteral("’’"));
    EXPECT_EQ(toStoredText(QStringLiteral("Plain")), QStringLiteral("Plain"));
    EXPECT_EQ(toStoredText(QString()), QString());
}

TEST(SharedProcedures, CenterFormUsesTheUpper85PerCent)
{
    QWidget w;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    w.resize(301, 201);
    toCenterForm(&w);
    EXPECT_EQ(w.y() - screen.y(), qRound(screen.height() * 0.85) / 2 - 201 / 2);
    EXPECT_EQ(w.x() - screen.x(), screen.width() / 2 - 301 / 2);
    w.resize(200, screen.height());
    toCenterForm(&w);
    EXPECT_LT(w.y() - screen.y(), 0);
}

namespace
{

class BadDatabase : public AppFixture
{
protected:
    BadDatabase() { m_connect = false; }
};

} // namespace

TEST_F(BadDatabase, FileThatIsNotADatabase)
{
    QFile::remove(dbPath());
    QFile f(dbPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    // Start-up finds it out once and does not run on it; the file is left as it was.
    EXPECT_EQ(Main(), StartupResult::EndProgram);
    EXPECT_EQ(MsgBox::shown().size(), 1);
    EXPECT_FALSE(connectionIsOpen());
    QFile check(dbPath());
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray(4096, 'x'));
}

TEST_F(BadDatabase, ReadOnlyFileRefusesWritesWithAMessage)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop the superuser";
    run(QStringLiteral("insert into customer (custname) values ('Existing')"));
    QFile::setPermissions(dbPath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    ASSERT_EQ(Main(), StartupResult::Continue);
    const QString before = snapshot();
    try {
        toTestConnection();
        Transaction t;
        Db::exec(QStringLiteral("insert into customer (custname) values ('New')"));
        t.commit();
        FAIL() << "write to a read-only database succeeded";
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
    EXPECT_FALSE(MsgBox::shown().isEmpty());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(BadDatabase, LockedByAnotherProcess)
{
    ASSERT_EQ(Main(), StartupResult::Continue);
    const QString before = snapshot();
    // Another process holds a write lock on the file while the program saves, longer than the program waits.
    ConnectionPolicy::setBusyWait(200);
    QProcess locker;
    locker.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sqlite3,sys,time\n"
                                 "c=sqlite3.connect(sys.argv[1],isolation_level=None)\n"
                                 "c.execute('begin exclusive')\nprint('locked',flush=True)\ntime.sleep(8)\n"),
                  dbPath()});
    ASSERT_TRUE(locker.waitForReadyRead(5000));
    QElapsedTimer timer;
    timer.start();
    bool saved = true;
    try {
        Transaction t;
        Db::exec(QStringLiteral("insert into customer (custname) values ('New')"));
        t.commit();
    } catch (const ProviderError& e) {
        saved = false;
        toShowConnectionErrors(e);
    }
    const qint64 waited = timer.elapsed();
    ConnectionPolicy::setBusyWait(10000);
    locker.kill();
    locker.waitForFinished();
    EXPECT_FALSE(saved) << waited << " ms " << locker.readAllStandardError().toStdString();
    EXPECT_FALSE(MsgBox::shown().isEmpty());
    EXPECT_EQ(snapshot(), before);
}
