#include "shell/DatabaseFile.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(DatabaseFile, SplitsStatements)
{
    const QStringList s = DatabaseFile::statements(QStringLiteral("-- c\nCREATE TABLE a (x);\nCREATE TABLE b (y);\n"));
    ASSERT_EQ(s.size(), 2);
}

TEST(DatabaseFile, ProgramTablesAreTheSchemasTables)
{
    QFile schema(QStringLiteral(QUORVANE_SOURCE_DIR "/resources/schema.sql"));
    ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
    QStringList tables;
    static const QRegularExpression create(QStringLiteral("^CREATE TABLE (\\w+)"));
    for (const QString& statement : DatabaseFile::statements(QString::fromUtf8(schema.readAll()))) {
        const QRegularExpressionMatch m = create.match(statement);
        if (m.hasMatch())
            tables << m.captured(1);
    }
    QStringList expected = DatabaseFile::programTables();
    tables.sort();
    expected.sort();
    EXPECT_EQ(tables, expected);
}
