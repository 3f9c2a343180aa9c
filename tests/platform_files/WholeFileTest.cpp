// Files written whole or not at all.

#include "platform/files/WholeFile.h"

#include "platform/files/FileGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <thread>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

namespace
{

class WholeFileTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        WholeFile::failAfter(-1, 0);
        FileGuard::setDatabaseFile(QString());
    }

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

TEST_F(WholeFileTest, AWriteThroughAChainOfLinksLandsOnTheFileAtItsEnd)
{
    ASSERT_TRUE(WholeFile::write(path("real.txt"), "old text"));
    ASSERT_TRUE(QFile::link("l2", path("l1")));
    ASSERT_TRUE(QFile::link(path("real.txt"), path("l2")));
    QString reason;
    ASSERT_TRUE(WholeFile::write(path("l1"), "new text", &reason)) << reason.toStdString();
    EXPECT_EQ(read("real.txt"), "new text");
    EXPECT_TRUE(QFileInfo(path("l1")).isSymLink());
    EXPECT_TRUE(QFileInfo(path("l2")).isSymLink());

    // A chain that ends nowhere yet makes the file it names.
    ASSERT_TRUE(QFile::link("l4", path("l3")));
    ASSERT_TRUE(QFile::link("made.txt", path("l4")));
    ASSERT_TRUE(WholeFile::write(path("l3"), "made", &reason)) << reason.toStdString();
    EXPECT_EQ(read("made.txt"), "made");
    EXPECT_TRUE(QFileInfo(path("l4")).isSymLink());
}

TEST_F(WholeFileTest, TheDatabasesFilesAreNeverWrittenOver)
{
    ASSERT_TRUE(WholeFile::write(path("Pellorin.mdb"), "the database"));
    FileGuard::setDatabaseFile(path("Pellorin.mdb"));
    ASSERT_TRUE(QFile::link(path("Pellorin.mdb"), path("report.pdf")));
    QString reason;
    for (const char* name : {"Pellorin.mdb", "report.pdf", "Pellorin.mdb-journal"}) {
        EXPECT_FALSE(WholeFile::write(path(name), "a report", &reason)) << name;
        EXPECT_TRUE(reason.contains("one of the program's database files")) << reason.toStdString();
    }
    EXPECT_EQ(read("Pellorin.mdb"), "the database");
    EXPECT_EQ(folder(), QStringList({"Pellorin.mdb", "report.pdf"}));
}

// A container or a chroot without /proc: files are still read, and the database's still refused.
TEST_F(WholeFileTest, FilesAreReadWithoutProcAndTheDatabasesStillRefused)
{
    ASSERT_TRUE(WholeFile::write(path("returned.xlsx"), "the workbook"));
    ASSERT_TRUE(WholeFile::write(path("Pellorin.mdb"), "the database"));
    FileGuard::setDatabaseFile(path("Pellorin.mdb"));
    ASSERT_TRUE(QFile::link(path("Pellorin.mdb"), path("layout.rpt")));
    bool hidden = false;
    QByteArray bytes[4];
    QString reasons[4];
    std::thread([&] {
        // /proc hidden under an empty file system, in a mount namespace of this thread's own.
        hidden = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                 ::mount("none", "/proc", "tmpfs", 0, nullptr) == 0 && !QFileInfo::exists("/proc/self");
        const char* names[] = {"returned.xlsx", "Pellorin.mdb", "layout.rpt", "gone.xlsx"};
        for (int i = 0; hidden && i < 4; ++i)
            WholeFile::read(path(names[i]), &bytes[i], &reasons[i]);
    }).join();
    if (!hidden)
        GTEST_SKIP() << "no mount namespace of its own here";
    EXPECT_EQ(bytes[0], "the workbook") << reasons[0].toStdString();
    EXPECT_EQ(reasons[1], "it is one of the program's database files");
    EXPECT_TRUE(reasons[2].endsWith("one of the program's database files")) << reasons[2].toStdString();
    EXPECT_EQ(reasons[3], QString::fromLocal8Bit(std::strerror(ENOENT)));
    EXPECT_TRUE(bytes[1].isEmpty() && bytes[2].isEmpty() && bytes[3].isEmpty());
}
