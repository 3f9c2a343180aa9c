#include "shell/gblGlobal.h"
#include "support/AppFixture.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

namespace
{

// The same database as the program sees it: through the data source and the shared connection.
class OdbcSchemaTest : public AppFixture
{
protected:
    QSqlQuery exec(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery q(gConnection());
        EXPECT_TRUE(q.prepare(sql)) << q.lastError().text().toStdString();
        for (const QVariant& v : values)
            q.addBindValue(v);
        EXPECT_TRUE(q.exec()) << q.lastError().text().toStdString() << " in " << sql.toStdString();
        return q;
    }

    QVariant first(const QString& sql, const QVariantList& values = {})
    {
        QSqlQuery q = exec(sql, values);
        return q.next() ? q.value(0) : QVariant();
    }
};

TEST_F(OdbcSchemaTest, DatesReadBackAsDatesAndCustomerDeletionCascades)
{
    const QDate surveyDate(2024, 1, 10);
    const QDate planDate(2024, 3, 1);
    exec("INSERT INTO customer (custname) VALUES (?)", {"Acme"});
    exec("INSERT INTO respondent (custid, respondentname) VALUES (1, ?)", {"Ann"});
    exec("INSERT INTO parameter (parametername) VALUES (?)", {"Quality"});
    exec("INSERT INTO questions (question, Type, paramid) VALUES (?, ?, 1)", {"Q1", true});
    exec("INSERT INTO survey (sdate, custid) VALUES (?, 1)", {surveyDate});
    exec("INSERT INTO responquesindex (respondentid, questionid, surveyid, \"Order\") VALUES (1, 1, 1, 1)");
    exec("INSERT INTO feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, score) "
         "VALUES (1, 1, 1, ?, 8, 7)",
         {surveyDate});
    exec("INSERT INTO actionplan (customerid, Action, \"Date\", targetdate, Status) VALUES (1, ?, ?, ?, ?)",
         {"Act", planDate, planDate.addMonths(1), false});

    // Readers compare and show these as dates, through the tables and the saved queries alike.
    const QVariant sdate = first("SELECT sdate FROM existingsurvey WHERE sdate=? AND custname=?", {surveyDate, "ACME"});
    EXPECT_EQ(sdate.typeId(), QMetaType::QDate);
    EXPECT_EQ(sdate.toDate(), surveyDate);
    EXPECT_EQ(first("SELECT surveydate FROM objquery WHERE surveydate < ?", {surveyDate.addDays(1)}).typeId(),
              QMetaType::QDate);
    EXPECT_EQ(first("SELECT targetdate FROM \"action\" WHERE \"Date\"=?", {planDate}).toDate(), planDate.addMonths(1));
    EXPECT_EQ(first("SELECT checkeduser FROM setting WHERE setting='UserDefine'").toInt(), 0);

    exec("DELETE FROM customer WHERE custid=1");
    for (const char* table : {"respondent", "survey", "responquesindex", "feedbackobjective", "actionplan"})
        EXPECT_EQ(first(QStringLiteral("SELECT count(*) FROM ") + table).toInt(), 0) << table;
    EXPECT_EQ(first("SELECT count(*) FROM questions").toInt(), 1);
}

} // namespace
