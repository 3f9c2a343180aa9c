#pragma once

#include "analysis/frmImprovementPlan.h"
#include "platform/desktop/Desktop.h"
#include "platform/report/ValueFormat.h"
#include "shell_windows/MainWindowFixture.h"

#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTreeWidget>

// The main window with three customers, "today" fixed, and helpers to drive the improvement-tracking window.
class TrackingFixture : public MainWindowFixture
{
protected:
    const QDate today{2031, 5, 20};
    const QDate d1{2031, 1, 2};
    const QDate d2{2031, 1, 10};

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        Desktop::setToday(today);
        run(QStringLiteral("insert into customer (custname) values ('Cedar'), ('Acme'), ('Birch')"));
    }

    void TearDown() override
    {
        Desktop::setToday(QDate());
        MainWindowFixture::TearDown();
    }

    static QString iso(const QDate& d) { return d.toString(Qt::ISODate); }
    int customerId(const QString& name) const
    {
        return value(QStringLiteral("select custid from customer where custname=?"), {name}).toInt();
    }
    void addAction(const QString& customer, const QDate& date, const QString& text, int status = 0)
    {
        run(QStringLiteral("insert into actionplan (customerid, Action, \"Date\", targetdate, Status) "
                           "values (?, ?, ?, ?, ?)"),
            {customerId(customer), text, iso(date), iso(date.addDays(30)), status});
    }
    // Every action as "customer|date|text|target|status", by customer name and date.
    QStringList actions() const
    {
        QStringList list;
        for (const QVariant& r : rows(QStringLiteral("select custname, \"Date\", Action, targetdate, Status "
                                                     "from action order by custname, \"Date\"")))
            list << r.toStringList().join(QLatin1Char('|'));
        return list;
    }

    frmImprovementPlan* openPlan()
    {
        main()->mnuImprovementPlan->trigger();
        return main()->windows()->find<frmImprovementPlan>();
    }
    // A click on a customer's entry: toggles its selection, as the list lets several be picked.
    static void clickCustomer(frmImprovementPlan* w, const QString& name)
    {
        const QList<QListWidgetItem*> items = w->lstCusName->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        w->lstCusName->scrollToItem(items.first());
        QTest::mouseClick(w->lstCusName->viewport(), Qt::LeftButton, {},
                          w->lstCusName->visualItemRect(items.first()).center());
    }
    static QStringList listed(const frmImprovementPlan* w, int column)
    {
        QStringList list;
        for (int i = 0; i < w->lsvDtls->topLevelItemCount(); ++i)
            list << w->lsvDtls->topLevelItem(i)->text(column);
        return list;
    }
};
