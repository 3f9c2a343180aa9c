#include "platform/report/SelectionFormula.h"

#include <gtest/gtest.h>

TEST(SelectionFormula, KeepsApostrophesInsideNames)
{
    SelectionFormula f;
    ASSERT_TRUE(
        f.parse(QStringLiteral("{log.custname}='O'Brien's Bakery' AND {log.respname}='Rock 'n' Roll'"), nullptr));
    ASSERT_EQ(f.conditions().size(), 2);
    EXPECT_EQ(f.conditions()[0].text, QStringLiteral("O'Brien's Bakery"));
    EXPECT_EQ(f.conditions()[1].text, QStringLiteral("Rock 'n' Roll"));

    ASSERT_TRUE(f.parse(QStringLiteral("{log.custname}=['Dean\u2019s Mill']"), nullptr));
    EXPECT_EQ(f.conditions()[0].text, QStringLiteral("Dean\u2019s Mill"));

    // "andrew" is a name, not the word "and".
    ASSERT_TRUE(f.parse(QStringLiteral("{log.respname}='x'andrew'"), nullptr));
    EXPECT_EQ(f.conditions()[0].text, QStringLiteral("x'andrew"));
}

TEST(SelectionFormula, RefusesFormulasOutsideTheGrammar)
{
    const QStringList bad{
        QStringLiteral("{log.custname}<>'x'"),
        QStringLiteral("{log.custname}='x' or {log.custname}='y'"),
        QStringLiteral("{log.custname}='x"),
        QStringLiteral("{log.custname}='x' and"),
        QStringLiteral("{log.custname}='x' {log.respname}='y'"),
        QStringLiteral("log.custname='x'"),
        QStringLiteral("{custname}='x'"),
        QStringLiteral("{log.custname}=x"),
        QStringLiteral("{log.custname}=['x'"),
        QStringLiteral("{log.sdate}>=date(2024,2,30)"),
        QStringLiteral("{log.sdate}>=date(2024,2)"),
    };
    for (const QString& formula : bad) {
        SelectionFormula f;
        QString error;
        EXPECT_FALSE(f.parse(formula, &error)) << formula.toStdString();
        EXPECT_TRUE(error.contains(formula)) << error.toStdString();
        EXPECT_TRUE(f.conditions().isEmpty()) << formula.toStdString();
    }
}
