// Opening the customer window on 5,000 customers with 5 respondents each, and saving after editing every row.
// Prints the times in milliseconds.
#include "BenchFolder.h"
#include "BenchRun.h"
#include "masterdata/frmCustomer.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "shell/gblGlobal.h"

#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

constexpr int kCustomers = 5000;
constexpr int kRespondents = 5;

// Fills the database before the program connects.
bool fill(const QString& path)
{
    SeedDatabase db(path);
    for (int c = 1; c <= kCustomers; ++c) {
        db.exec(QStringLiteral("insert into customer (custname, Address, telno, email) values (?, ?, ?, ?)"),
                {QStringLiteral("Customer %1").arg(c), QStringLiteral("%1 High Street").arg(c),
                 QStringLiteral("555-%1").arg(c), QStringLiteral("c%1@example.com").arg(c)});
        for (int r = 1; r <= kRespondents; ++r)
            db.exec(QStringLiteral("insert into respondent (custid, respondentname, respondentdesignation, emailid) "
                                   "values (?, ?, 'Manager', '')"),
                    {c, QStringLiteral("Person %1.%2").arg(c).arg(r)});
    }
    return db.commit();
}

} // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    QTemporaryDir folder;
    if (!folder.isValid() || !startProgramIn(folder.path(), fill))
        return 1;

    frmCustomer* window = nullptr;
    const double openMs = timeMs([&] {
        window = new frmCustomer;
        window->Form_Load();
        window->show();
    });

    FlexGrid* grid = window->grdCustomerDtls;
    for (int r = 1; r < grid->rows(); ++r)
        grid->setTextMatrix(r, 2, grid->textMatrix(r, 2) + QStringLiteral(" (edited)"));
    const double saveMs = timeMs([&] { window->cmdSaveCustomer_Click(); });

    {
        QSqlQuery check(gConnection());
        check.exec(QStringLiteral("select count(*) from customer where Address like '%(edited)'"));
        check.next();
        std::printf("customers: %d, respondents each: %d\n", kCustomers, kRespondents);
        std::printf("open frmCustomer: %.0f ms\n", openMs);
        std::printf("save after editing every row: %.0f ms (%d rows stored edited, %d messages)\n", saveMs,
                    check.value(0).toInt(), int(MsgBox::shown().size()));
    }
    delete window;
    toCloseConnection();
    return 0;
}
