// Opening the customer window on 5,000 customers with 5 respondents each, and saving after editing every row.
// Run under a display (or QT_QPA_PLATFORM=offscreen); prints the times in milliseconds.
#include "BenchFolder.h"
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

// Fills the database before the program connects.
bool fill(const QString& db)
{
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
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MsgBox::setTestMode(true);
    QTemporaryDir folder;
    if (!folder.isValid() || !startProgramIn(folder.path(), fill))
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
