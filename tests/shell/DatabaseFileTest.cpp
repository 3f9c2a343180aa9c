#include "shell/DatabaseFile.h"

#include <gtest/gtest.h>

TEST(DatabaseFile, SplitsStatements)
{
    const QStringList s = DatabaseFile::statements(QStringLiteral("-- c\nCREATE TABLE a (x);\nCREATE TABLE b (y);\n"));
    ASSERT_EQ(s.size(), 2);
}
