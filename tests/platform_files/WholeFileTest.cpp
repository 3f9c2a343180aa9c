// Files written whole or not at all.

#include "platform/files/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace
{

class WholeFileTest : public ::testing::Test
{
protected:
    void TearDown() override { WholeFile::failAfter(-1, 0); }

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList folder() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir m_dir;
};

TEST_F(WholeFileTest, AWriteFailingMidwayKeepsTheOldFileAndGivesTheSystemsReason)
{
    const QByteArray old("the good file");
    ASSERT_TRUE(WholeFile::write(path("book.xlsx"), old));
    ASSERT_EQ(::chmod(QFile::encodeName(path("book.xlsx")).constData(), 0640), 0);

    const QByteArray big(64 * 1024, 'x');
    WholeFile::failAfter(4096, ENOSPC);
    QString reason;
    EXPECT_FALSE(WholeFile::write(path("book.xlsx"), big, &reason));
    EXPECT_EQ(reason, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    EXPECT_EQ(read("book.xlsx"), old);
    EXPECT_EQ(folder(), QStringList{"book.xlsx"}); // nothing half-written left beside it

    // A new file that fails is not made at all.
    EXPECT_FALSE(WholeFile::write(path("new.bmp"), big, &reason));
    EXPECT_FALSE(QFile::exists(path("new.bmp")));

    WholeFile::failAfter(-1, 0);
    ASSERT_TRUE(WholeFile::write(path("book.xlsx"), big, &reason)) << reason.toStdString();
    EXPECT_EQ(read("book.xlsx"), big);
    struct stat st = {};
    ASSERT_EQ(::stat(QFile::encodeName(path("book.xlsx")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(folder(), QStringList{"book.xlsx"});
}

TEST_F(WholeFileTest, FailuresOfTheFolderAndKeepingAnExistingFile)
{
    QString reason;
    EXPECT_FALSE(WholeFile::write(path("no/such/folder/x.ini"), "x", &reason));
    EXPECT_EQ(reason, QString::fromLocal8Bit(std::strerror(ENOENT)));

    // A folder in the file's place is never replaced.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("perform.bmp"));
    EXPECT_FALSE(WholeFile::write(path("perform.bmp"), "BM", &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_TRUE(QFileInfo(path("perform.bmp")).isDir());

    ASSERT_TRUE(WholeFile::write(path("Pellorin.mdb"), "first", &reason, WholeFile::Mode::KeepExisting));
    EXPECT_FALSE(WholeFile::write(path("Pellorin.mdb"), "second", &reason, WholeFile::Mode::KeepExisting));
    EXPECT_EQ(read("Pellorin.mdb"), "first");
    EXPECT_EQ(folder(), QStringList{"Pellorin.mdb"});
}

} // namespace
