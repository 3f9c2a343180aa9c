// Opening the customer window on 5,000 customers with 5 respondents each, and saving after editing every row.
// Run under a display (or QT_QPA_PLATFORM=offscreen); prints the times in milliseconds.
#include "masterdata/frmCustomer.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "shell/DatabaseFile.h"
#include "shell/gblGlobal.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

constexpr int kCustomers = 5000;
constexpr int kRespondents = 5;

QString driverLibrary()
{
    for (const char* path : {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
                             "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/odbc/libsqlite3odbc.so"})
        if (QFileInfo::exists(QLatin1String(path)))
            return QLatin1String(path);
    return QStringLiteral("libsqlite3odbc.so");
}

bool prepare(const QString& folder)
{
    const QString db = QDir(folder).filePath(QStringLiteral("Pellorin.mdb"));
    QString error;
    if (!DatabaseFile::createFromSchema(db, QStringLiteral(QUORVANE_SOURCE_DIR "/resources/schema.sql"), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    {
        QSqlDatabase direct = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        direct.setDatabaseName(db);
        direct.open();
        direct.transaction();
        QSqlQuery customer(direct);
        customer.prepare(QStringLiteral("insert into customer (custname, Address, telno, email) values (?, ?, ?, ?)"));
        QSqlQuery respondent(direct);
        respondent.prepare(QStringLiteral("insert into respondent (custid, respondentname, respondentdesignation, "
                                          "emailid) values (?, ?, ?, ?)"));
        for (int c = 1; c <= kCustomers; ++c) {
            customer.addBindValue(QStringLiteral("Customer %1").arg(c));
            customer.addBindValue(QStringLiteral("%1 High Street").arg(c));
            customer.addBindValue(QStringLiteral("555-%1").arg(c));
            customer.addBindValue(QStringLiteral("c%1@example.com").arg(c));
            customer.exec();
            for (int r = 1; r <= kRespondents; ++r) {
                respondent.addBindValue(c);
                respondent.addBindValue(QStringLiteral("Person %1.%2").arg(c).arg(r));
                respondent.addBindValue(QStringLiteral("Manager"));
                respondent.addBindValue(QString());
                respondent.exec();
            }
        }
        direct.commit();
        direct.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));

    QFile inst(QDir(folder).filePath(QStringLiteral("odbcinst.ini")));
    if (!inst.open(QIODevice::WriteOnly))
        return false;
    inst.write(QStringLiteral("[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=%1\nSetup=%1\n")
                   .arg(driverLibrary())
                   .toUtf8());
    inst.close();
    QFile sys(QDir(folder).filePath(QStringLiteral("odbc.ini")));
    if (!sys.open(QIODevice::WriteOnly))
        return false;
    sys.close();
    qputenv("ODBCSYSINI", folder.toLocal8Bit());
    qputenv("ODBCINI", QDir(folder).filePath(QStringLiteral("user-odbc.ini")).toLocal8Bit());
    setProgramFolder(folder);
    return Main() == StartupResult::Continue && connectionIsOpen();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MsgBox::setTestMode(true);
    QTemporaryDir folder;
    if (!folder.isValid() || !prepare(folder.path()))
        return 1;

    QElapsedTimer timer;
    timer.start();
    auto* window = new frmCustomer;
    window->Form_Load();
    window->show();
    QApplication::processEvents();
    const qint64 openMs = timer.elapsed();

    FlexGrid* grid = window->grdCustomerDtls;
    for (int r = 1; r < grid->rows(); ++r)
        grid->setTextMatrix(r, 2, grid->textMatrix(r, 2) + QStringLiteral(" (edited)"));
    timer.restart();
    window->cmdSaveCustomer_Click();
    QApplication::processEvents();
    const qint64 saveMs = timer.elapsed();

    {
        QSqlQuery check(gConnection());
        check.exec(QStringLiteral("select count(*) from customer where Address like '%(edited)'"));
        check.next();
        std::printf("customers: %d, respondents each: %d\n", kCustomers, kRespondents);
        std::printf("open frmCustomer: %lld ms\n", static_cast<long long>(openMs));
        std::printf("save after editing every row: %lld ms (%d rows stored edited, %d messages)\n",
                    static_cast<long long>(saveMs), check.value(0).toInt(), int(MsgBox::shown().size()));
    }
    delete window;
    toCloseConnection();
    return 0;
}
