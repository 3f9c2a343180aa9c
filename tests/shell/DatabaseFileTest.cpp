#include "shell/DatabaseFile.h"

#include "platform/files/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

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

TEST(DatabaseFile, IsMadeWholeOrNotAtAllAndNeverReplaced)
{
    QTemporaryDir dir;
    const QString schema = QStringLiteral(QUORVANE_SOURCE_DIR "/resources/schema.sql");
    const QString db = dir.filePath(QStringLiteral("Pellorin.mdb"));
    QString error;
    WholeFile::failAfter(8192, ENOSPC);
    EXPECT_FALSE(DatabaseFile::createFromSchema(db, schema, &error));
    WholeFile::failAfter(-1, 0);
    EXPECT_TRUE(error.contains(db) && error.endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << error.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    ASSERT_TRUE(DatabaseFile::createFromSchema(db, schema, &error)) << error.toStdString();
    QFile made(db);
    ASSERT_TRUE(made.open(QIODevice::ReadOnly));
    EXPECT_TRUE(made.read(16).startsWith("SQLite format 3"));
    made.close();

    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    made.write("kept");
    made.close();
    EXPECT_TRUE(DatabaseFile::createFromSchema(db, schema, &error));
    ASSERT_TRUE(made.open(QIODevice::ReadOnly));
    EXPECT_EQ(made.readAll(), "kept");
}
