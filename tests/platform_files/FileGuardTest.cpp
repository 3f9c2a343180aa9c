// The one look at a path before the program opens or writes it.

#include "platform/files/FileGuard.h"
#include "platform/workbook/Workbook.h"
#include "support/SpecialFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

class FileGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : {"Pellorin.mdb", "Pellorin.mdb-wal", "Pellorin.mdb-shm", "book.xlsx"}) {
            QFile f(path(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("bytes");
        }
        FileGuard::setDatabaseFile(path("Pellorin.mdb"));
    }
    void TearDown() override { FileGuard::setDatabaseFile(QString()); }

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QString real(const QString& name) const { return QDir(QFileInfo(m_dir.path()).canonicalFilePath()).filePath(name); }
    void link(const QString& target, const QString& name) const { ASSERT_TRUE(QFile::link(target, path(name))); }

    QTemporaryDir m_dir;
};

TEST_F(FileGuardTest, TheDatabasesFilesAreRefusedByNameThroughLinksAndUnderASecondName)
{
    // The journal is refused before it exists: a file made under its name would be taken for SQLite's.
    for (const char* name : {"Pellorin.mdb", "Pellorin.mdb-wal", "Pellorin.mdb-shm", "Pellorin.mdb-journal"}) {
        const FileGuard::Verdict v = FileGuard::check(path(name));
        EXPECT_EQ(v.refusal, "it is one of the program's database files") << name;
    }
    link(path("Pellorin.mdb-shm"), "returned.xlsx");
    link(path("l2"), "l1");
    link("Pellorin.mdb-journal", "l2");
    link(m_dir.path(), "folder");
    const QString throughFolder = path("folder/Pellorin.mdb-wal");
    for (const QString& p : {path("returned.xlsx"), path("l1"), throughFolder}) {
        const FileGuard::Verdict v = FileGuard::check(p);
        EXPECT_TRUE(v.refusal.startsWith("it leads to " + real("Pellorin.mdb"))) << v.refusal.toStdString();
        EXPECT_TRUE(v.refusal.endsWith(", one of the program's database files")) << v.refusal.toStdString();
    }
    // A second name of the same file is the same file.
    ASSERT_EQ(::link(QFile::encodeName(path("Pellorin.mdb")).constData(), QFile::encodeName(path("copy.xlsx"))), 0);
    EXPECT_FALSE(FileGuard::check(path("copy.xlsx")).allowed());

    const FileGuard::Verdict book = FileGuard::check(path("book.xlsx"));
    EXPECT_TRUE(book.allowed());
    EXPECT_EQ(book.path, real("book.xlsx"));
    EXPECT_TRUE(FileGuard::check(path("new.xlsx")).allowed());
    FileGuard::setDatabaseFile(QString());
    EXPECT_TRUE(FileGuard::check(path("Pellorin.mdb")).allowed());
}

TEST_F(FileGuardTest, ANameStillToBeMadeIsKnownByItsFolderUnderAnyPath)
{
    // The program's folder moved while the program runs: the old text of its path leads nowhere, yet the journal
    // made under the folder's new path would be SQLite's.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("program"));
    FileGuard::setDatabaseFile(path("program/Pellorin.mdb"));
    ASSERT_TRUE(QDir(m_dir.path()).rename("program", "moved"));
    for (const char* name : {"Pellorin.mdb", "Pellorin.mdb-journal", "Pellorin.mdb-wal"})
        EXPECT_EQ(FileGuard::check(path("moved/") + name).refusal, "it is one of the program's database files") << name;
    // The same name in another folder is another file.
    EXPECT_TRUE(FileGuard::check(path("moved/Pellorin.mdb-journal.pdf")).allowed());
    EXPECT_TRUE(FileGuard::check(path("Pellorin.mdb-journal")).allowed());
}

TEST_F(FileGuardTest, DevicesPipesAndFoldersAreRefusedWithoutBeingOpened)
{
    link("/dev/zero", "zero.xlsx");
    EXPECT_EQ(FileGuard::check(path("zero.xlsx")).refusal, "it leads to /dev/zero, which is not a regular file");
    EXPECT_EQ(FileGuard::check(m_dir.path()).refusal, "it is not a regular file");

    PipeWithWatchdog pipe(path("pipe.xlsx"));
    ASSERT_TRUE(pipe.made());
    EXPECT_EQ(FileGuard::check(path("pipe.xlsx")).refusal, "it is not a regular file");
    // The workbook reader asks before it opens anything.
    QString error;
    EXPECT_EQ(Workbook::open(path("pipe.xlsx"), &error), nullptr);
    EXPECT_EQ(error, "Cannot open " + path("pipe.xlsx") + ": it is not a regular file");
    EXPECT_EQ(Workbook::open(path("zero.xlsx"), &error), nullptr);
    EXPECT_TRUE(error.contains("/dev/zero, which is not a regular file")) << error.toStdString();
    EXPECT_FALSE(pipe.released());
}

} // namespace
