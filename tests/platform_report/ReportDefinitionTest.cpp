#include "platform/report/ReportDefinition.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(ReportDefinition, ShippedDefinitionsReadTheTablesTheWindowsFill)
{
    const QList<QPair<QString, QString>> reports{
        {QStringLiteral("rptrating.rpt"), QStringLiteral("reportlinktable")},
        {QStringLiteral("log.rpt"), QStringLiteral("log")},
        {QStringLiteral("actionplan.rpt"), QStringLiteral("action")},
        {QStringLiteral("satisfaction.rpt"), QStringLiteral("reporttable")},
        {QStringLiteral("surveyresponse.rpt"), QStringLiteral("report")},
        {QStringLiteral("satisfactionindex.rpt"), QStringLiteral("linetable")},
        {QStringLiteral("scatter.rpt"), QStringLiteral("scattertable")},
    };
    for (const auto& [file, table] : reports) {
        ReportDefinition d;
        QString error;
        ASSERT_TRUE(ReportDefinition::load(QStringLiteral(QUORVANE_SOURCE_DIR "/resources/") + file, &d, &error))
            << error.toStdString();
        EXPECT_EQ(d.table, table) << file.toStdString();
        EXPECT_TRUE(d.heading.contains(QStringLiteral("{CompanyName}"))) << file.toStdString();
        EXPECT_FALSE(d.title.isEmpty()) << file.toStdString();
    }
}

TEST(ReportDefinition, NamesTheLineOfAMistake)
{
    const QList<QPair<QString, QString>> bad{
        {QStringLiteral("title = T\ntable = log\ncolumn = a | A | wide\n"), QStringLiteral("line 3")},
        {QStringLiteral("title = T\n\n# note\ntable = log\nfooter = x\n"), QStringLiteral("line 5")},
        {QStringLiteral("table = log\ncolumn = a | A | 1 | money\n"), QStringLiteral("money")},
        {QStringLiteral("table = log\ncolumn = a | A | 1 | yesno Done\n"), QStringLiteral("yesno")},
        {QStringLiteral("table = log\norder = a sideways\ncolumn = a | A\n"), QStringLiteral("sideways")},
        {QStringLiteral("title = T\ncolumn = a | A\n"), QStringLiteral("no table")},
        {QStringLiteral("table = log\n"), QStringLiteral("no columns")},
        {QStringLiteral("table = log\ncolumn = a | A\naverage = a\n"), QStringLiteral("average")},
        {QStringLiteral("table = log; drop table log\ncolumn = a | A\n"), QStringLiteral("no table")},
        {QStringLiteral("table = log\ncolumn = a\"b | A\n"), QStringLiteral("a\"b")},
    };
    for (const auto& [text, reason] : bad) {
        ReportDefinition d;
        QString error;
        EXPECT_FALSE(ReportDefinition::parse(text, &d, &error)) << text.toStdString();
        EXPECT_TRUE(error.contains(reason)) << error.toStdString();
    }
}

TEST(ValueFormat, ReadsValuesStoredByOtherWriters)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    ValueFormat date, status;
    QString error;
    ASSERT_TRUE(ValueFormat::parse(QStringLiteral("date"), &date, &error));
    ASSERT_TRUE(ValueFormat::parse(QStringLiteral("yesno Complete / Not Complete"), &status, &error));
    // A date written with a time part, and True written as -1, still read as such.
    EXPECT_EQ(date.apply(QStringLiteral("2002-03-05 00:00:00")), QStringLiteral("05/03/2002"));
    EXPECT_EQ(status.apply(-1), QStringLiteral("Complete"));
    EXPECT_EQ(status.apply(QVariant()), QString());
}
