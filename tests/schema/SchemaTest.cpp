#include "shell/DatabaseFile.h"

#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

namespace
{

// A database made from the schema, opened directly with foreign keys enforced (as the ODBC data source does).
class SchemaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("Pellorin.mdb"));
        QString error;
        ASSERT_TRUE(
            DatabaseFile::createFromSchema(path, QStringLiteral(QUORVANE_SOURCE_DIR "/resources/schema.sql"), &error))
            << error.toStdString();
        m_name = QStringLiteral("schema-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        exec(QStringLiteral("PRAGMA foreign_keys=ON"));
    }

    void TearDown() override
    {
        QSqlDatabase::database(m_name).close();
        QSqlDatabase::removeDatabase(m_name);
    }

    QSqlQuery exec(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_name));
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString() << " in " << sql.toStdString();
        return q;
    }

    QVariantList column(const QString& sql)
    {
        QSqlQuery q = exec(sql);
        QVariantList values;
        while (q.next())
            values << q.value(0);
        return values;
    }

    int count(const QString& from) { return column(QStringLiteral("SELECT count(*) FROM ") + from).value(0).toInt(); }

    QMap<QString, int> tableCounts()
    {
        QMap<QString, int> counts;
        const QVariantList tables =
            column(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name <> 'sqlite_sequence'"));
        for (const QVariant& t : tables)
            counts[t.toString()] = count(QLatin1Char('"') + t.toString() + QLatin1Char('"'));
        return counts;
    }

    // Starts again from the seeded rows, with keys from 1 again.
    void reseed()
    {
        exec(QStringLiteral("DELETE FROM customer"));
        exec(QStringLiteral("DELETE FROM parameter"));
        for (const QString& t : tableCounts().keys())
            exec(QStringLiteral("DELETE FROM \"%1\"").arg(t));
        exec(QStringLiteral("DELETE FROM sqlite_sequence"));
        seed();
    }

    // Two customers with respondents, surveys, question rows, answers, actions, messages and a log row;
    // a third customer without respondents; scratch rows that no deletion may touch.
    void seed()
    {
        const QStringList statements = {
            "INSERT INTO customer (custname) VALUES ('Acme'), ('Beta'), ('Lonely')",
            "INSERT INTO respondent (custid, respondentname, respondentdesignation) VALUES "
            "(1, 'Ann', 'Buyer'), (1, 'Bob', 'Boss'), (2, 'Cid', 'Clerk')",
            "INSERT INTO parameter (parametername) VALUES ('Quality'), ('Service')",
            "INSERT INTO questions (question, Type, paramid) VALUES ('Q1', 1, 1), ('Q2', 0, 1), ('Q3', 1, 2)",
            "INSERT INTO survey (sdate, custid) VALUES ('2024-01-10', 1), ('2024-02-10', 1), ('2024-01-10', 2)",
            "INSERT INTO responquesindex (respondentid, questionid, surveyid, \"Order\") VALUES "
            "(1, 1, 1, 1), (1, 2, 1, 2), (2, 3, 1, 1), (1, 3, 2, 1), (3, 1, 3, 1)",
            "INSERT INTO feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, score) VALUES "
            "(1, 1, 1, '2024-01-10', 8, 7), (2, 3, 1, '2024-01-10', 5, 9), (1, 3, 2, '2024-02-10', 6, 6), "
            "(3, 1, 3, '2024-01-10', 4, 4)",
            "INSERT INTO feedbackdescriptive (respondentid, questionid, surveyid, surveydate, weightage, Description) "
            "VALUES (1, 2, 1, '2024-01-10', 3, 'Slow replies')",
            "INSERT INTO actionplan (customerid, Action, \"Date\", targetdate, Status) VALUES "
            "(1, 'Answer faster', '2024-03-01', '2024-04-01', 0), (2, 'Visit', '2024-03-02', '2024-05-01', 1)",
            "INSERT INTO standardmessage (customerid, standardmessage) VALUES (1, 'Dear Acme'), (2, 'Dear Beta')",
            "INSERT INTO log (custname, respname, xlsfilename, sdate, surveyid, respid) VALUES "
            "('Acme', 'Ann', '111.xls', '2024-01-10', 1, 1)",
            "INSERT INTO copydetails (custid, sdate, respid, surveyid) VALUES (1, '2024-01-10', 1, 1)",
            "INSERT INTO reportlinktable (question, custid, respondentid, questionid, paramid) "
            "VALUES ('Q1', 1, 1, 1, 1)",
        };
        for (const QString& s : statements)
            exec(s);
    }

    QTemporaryDir m_dir;
    QString m_name;
};

TEST_F(SchemaTest, DeliversTheColumnsTheProgramUses)
{
    // Columns by the names the program's statements use; field names compare without regard to case.
    const QMap<QString, QString> columns = {
        {"customer", "custid, custname, Address, telno, email"},
        {"respondent", "respondentid, custid, respondentname, respondentdesignation, emailid"},
        {"parameter", "paramid, parametername"},
        {"questions", "questionid, question, Type, paramid"},
        {"survey", "surveyid, sdate, custid"},
        {"responquesindex", "respondentid, questionid, surveyid, \"Order\""},
        {"log", "custname, respname, xlsfilename, sdate, surveyid, respid, Status"},
        {"standardmessage", "customerid, standardmessage"},
        {"feedbackobjective", "feedbackobjid, respondentid, questionid, surveyid, surveydate, weightage, score"},
        {"feedbackdescriptive",
         "feedbackdescid, respondentid, questionid, surveyid, surveydate, weightage, Description"},
        {"actionplan", "actionid, customerid, Action, \"Date\", targetdate, Status"},
        {"setting", "setting, checkeduser"},
        {"reportlinktable",
         "question, respondentname, custname, Type, sdate, custid, respondentid, questionid, paramid, Parameter, "
         "weightage, score"},
        {"copydetails", "custid, sdate, respid, surveyid"},
        {"report", "responname, question, Parameter, sc, wt, Type, Reply"},
        {"reporttable", "responname, question, Parameter, tablename, wt, Type, sdate"},
        {"search", "sdate, \"Desc\", custname, tablename, ID"},
        {"linetable", "custname, Parameter, sindex, sdate"},
        {"surveydateorder", "sdate, roworder"},
        {"scattertable", "CustName, Parameter, Wt, Sc"},
        {"custresp", "custid, custname, respondentid, respondentname"},
        {"param", "parametername, question, Type, questionid"},
        {"responquery",
         "respondentid, respondentname, surveyid, sdate, custid, custname, \"order\", questionid, question, Type, "
         "paramid, parametername"},
        {"existingsurvey", "custid, custname, respondentid, respondentname, sdate"},
        {"objquery",
         "feedbackobjid, custid, custname, respondentid, respondentname, questionid, question, parametername, "
         "surveydate, weightage, score"},
        {"descquery",
         "feedbackdescid, custid, custname, respondentid, respondentname, questionid, question, parametername, "
         "surveydate, weightage, Description"},
        {"scatterqry", "custname, parametername, surveydate, weightage, score"},
        {"scatter", "custname, parametername, sdate, weightage, score"},
        {"\"action\"", "actionid, customerid, custname, Action, \"Date\", targetdate, Status"},
    };
    for (auto it = columns.cbegin(); it != columns.cend(); ++it)
        exec(QStringLiteral("SELECT %1 FROM %2").arg(it.value(), it.key()));
}

TEST_F(SchemaTest, StartsWithTheNamingSettingAndEmptyTables)
{
    EXPECT_EQ(column("SELECT checkeduser FROM setting WHERE setting='UserDefine'"), QVariantList{0});
    QMap<QString, int> counts = tableCounts();
    EXPECT_EQ(counts.take(QStringLiteral("setting")), 1);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        EXPECT_EQ(it.value(), 0) << it.key().toStdString();
}

TEST_F(SchemaTest, YesNoFieldsDefaultToFalse)
{
    exec("INSERT INTO customer (custname) VALUES ('Acme')");
    exec("INSERT INTO parameter (parametername) VALUES ('Quality')");
    exec("INSERT INTO questions (question, paramid) VALUES ('Q', 1)");
    exec("INSERT INTO log (xlsfilename) VALUES ('1.xls')");
    exec("INSERT INTO actionplan (customerid, Action) VALUES (1, 'Act')");
    EXPECT_EQ(column("SELECT Type FROM questions"), QVariantList{0});
    EXPECT_EQ(column("SELECT Status FROM log"), QVariantList{0});
    EXPECT_EQ(column("SELECT Status FROM actionplan"), QVariantList{0});
}

TEST_F(SchemaTest, DeletingAParentRemovesExactlyItsDependentRows)
{
    struct Case {
        const char* remove;
        QMap<QString, int> removed; // rows that go, per table; every other table keeps its rows
    };
    const Case cases[] = {
        {"DELETE FROM customer WHERE custid=1",
         {{"customer", 1},
          {"respondent", 2},
          {"survey", 2},
          {"responquesindex", 4},
          {"feedbackobjective", 3},
          {"feedbackdescriptive", 1},
          {"actionplan", 1},
          {"standardmessage", 1}}},
        {"DELETE FROM respondent WHERE respondentid=1",
         {{"respondent", 1}, {"responquesindex", 3}, {"feedbackobjective", 2}, {"feedbackdescriptive", 1}}},
        {"DELETE FROM parameter WHERE paramid=1",
         {{"parameter", 1},
          {"questions", 2},
          {"responquesindex", 3},
          {"feedbackobjective", 2},
          {"feedbackdescriptive", 1}}},
        {"DELETE FROM questions WHERE questionid=3",
         {{"questions", 1}, {"responquesindex", 2}, {"feedbackobjective", 2}}},
        // Answers of a survey are removed by the program when it deletes a survey date, not by the database.
        {"DELETE FROM survey WHERE surveyid=1", {{"survey", 1}, {"responquesindex", 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.remove);
        reseed();
        const QMap<QString, int> before = tableCounts();
        exec(QString::fromLatin1(c.remove));
        const QMap<QString, int> after = tableCounts();
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            EXPECT_EQ(it.value() - after.value(it.key()), c.removed.value(it.key())) << it.key().toStdString();
    }
}

TEST_F(SchemaTest, RefusesRowsWhoseParentIsMissing)
{
    seed();
    for (const char* orphan : {"INSERT INTO respondent (custid, respondentname) VALUES (99, 'X')",
                               "INSERT INTO responquesindex (respondentid, questionid, surveyid, \"Order\") "
                               "VALUES (1, 99, 1, 3)",
                               "INSERT INTO feedbackobjective (respondentid, questionid) VALUES (99, 1)",
                               "INSERT INTO standardmessage (customerid, standardmessage) VALUES (0, 'X')"}) {
        QSqlQuery q(QSqlDatabase::database(m_name));
        EXPECT_FALSE(q.exec(QString::fromLatin1(orphan))) << orphan;
    }
}

TEST_F(SchemaTest, ExistingSurveyListsSurveysThatStillHaveQuestions)
{
    seed();
    // Ann has two questions on 2024-01-10 and still gets one row for that date.
    EXPECT_EQ(count("existingsurvey WHERE respondentid=1 AND sdate='2024-01-10'"), 1);
    EXPECT_EQ(count("existingsurvey"), 4);
    EXPECT_EQ(column("SELECT custname FROM existingsurvey WHERE respondentid=3"), QVariantList{"Beta"});

    exec("DELETE FROM responquesindex WHERE respondentid=1 AND surveyid=1");
    EXPECT_EQ(count("existingsurvey WHERE respondentid=1 AND sdate='2024-01-10'"), 0);
    // The survey row itself stays for Bob, who still has a question on that date.
    EXPECT_EQ(count("existingsurvey WHERE respondentid=2 AND sdate='2024-01-10'"), 1);
    EXPECT_EQ(count("survey WHERE surveyid=1"), 1);
}

TEST_F(SchemaTest, SavedQueriesJoinTheirRowsAsTheReadersExpect)
{
    seed();
    // custresp: one row per respondent; a customer without respondents is in none.
    EXPECT_EQ(count("custresp"), 3);
    EXPECT_EQ(count("custresp WHERE custname='Lonely'"), 0);
    EXPECT_EQ(column("SELECT respondentid FROM custresp WHERE custid=1 AND respondentname='BOB'"), QVariantList{2});

    EXPECT_EQ(column("SELECT question FROM param WHERE parametername='quality' ORDER BY question"),
              (QVariantList{"Q1", "Q2"}));

    EXPECT_EQ(column("SELECT question FROM responquery WHERE respondentid=1 AND surveyid=1 "
                     "ORDER BY responquery.\"order\""),
              (QVariantList{"Q1", "Q2"}));
    EXPECT_EQ(column("SELECT custname || '/' || parametername || '/' || Type FROM responquery "
                     "WHERE respondentid=2"),
              QVariantList{"Acme/Service/1"});

    // The latest earlier answer, as the previous-answers table looks it up.
    EXPECT_EQ(column("SELECT score FROM objquery WHERE custid=1 AND respondentid=1 AND questionid=3 "
                     "AND surveydate < '2024-03-01' ORDER BY surveydate DESC"),
              QVariantList{6});
    EXPECT_EQ(column("SELECT respondentname || '/' || parametername FROM descquery WHERE description LIKE '%slow%'"),
              QVariantList{"Ann/Quality"});

    // The analyses average scores: descriptive answers are not among their rows.
    EXPECT_EQ(count("scatterqry WHERE custname='Acme'"), 3);
    EXPECT_EQ(count("scatter WHERE custname='Acme' AND sdate='2024-01-10'"), 2);
    EXPECT_EQ(column("SELECT weightage FROM scatter WHERE parametername='Service' AND sdate='2024-02-10'"),
              QVariantList{6});

    EXPECT_EQ(column("SELECT custname FROM \"action\" WHERE action LIKE '%faster%' AND \"Date\"='2024-03-01'"),
              QVariantList{"Acme"});
}

} // namespace
