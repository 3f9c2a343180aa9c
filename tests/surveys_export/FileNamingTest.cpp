// Choosing the workbook's name, the overwrite question, the Save dialog and the log.

#include "ExportFixture.h"

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/files/WholeFile.h"
#include "shell/frmSetting.h"
#include "support/PermissionBits.h"
#include "surveys/export/SurveyExport.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

namespace
{

const QString kOverwrite7312 = QStringLiteral("7312.xlsx file apready exist for Respondent - Ann Lee for Survey "
                                              "Date - %1....Do you want to overwrite?\r\n");
const QString kView = QStringLiteral("Survey File Exported...Do you want to view the file? ");
const QString kDuplicate = QStringLiteral("Duplicate Survey File...Cannot Save Duplicate Survey File...");
const QString kCancelled = QStringLiteral("Survey File Export cancelled...");

class FileNamingTest : public ExportFixture
{
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        // Survey 7 of customer 3 for respondent 12.
        m_customer = QStringLiteral("Northwind");
        m_custid = addCustomer(m_customer, 3);
        m_respid = addRespondent(m_custid, m_respondent, 12);
        m_surveyid = addSurvey(m_custid, m_date, 7);
        const int p = addParameter(QStringLiteral("Service"));
        addToSurvey(m_respid, m_surveyid, {addQuestion(p, QStringLiteral("On time?"), true)});
    }
    QVariantList logRows() const
    {
        return rows(QStringLiteral("select custname, respname, xlsfilename, sdate, surveyid, respid, Status "
                                   "from log order by rowid"));
    }
    QByteArray bytes(const QString& name) const
    {
        QFile f(workbook(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString overwrite7312() const { return kOverwrite7312.arg(QDate(2024, 3, 15).toString(localDate())); }
    static QString localDate()
    {
        QString format = QLocale().dateFormat(QLocale::ShortFormat);
        if (!format.contains(QLatin1String("yyyy")))
            format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        return format;
    }
};

TEST_F(FileNamingTest, SystemNameIsLoggedThenReusedWithTheOverwriteQuestion)
{
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey());
    EXPECT_EQ(m_lastFileName, "7312.xlsx");
    EXPECT_TRUE(QFile::exists(workbook("7312.xlsx")));
    EXPECT_EQ(messages(), QStringList{kView});
    EXPECT_EQ(logRows(), QVariantList({QVariantList{"Northwind", "Ann Lee", "7312.xlsx", "2024-03-15", 7, 12, 0}}));
    EXPECT_TRUE(Desktop::openedFiles().isEmpty());

    // Read back meanwhile; the next export clears the mark again and rewrites the same row.
    run("update log set Status=1");
    MsgBox::clearRecords();
    MsgBox::setNextAnswer(MsgBox::Yes);
    MsgBox::setNextAnswer(MsgBox::Yes);
    ASSERT_TRUE(exportSurvey());
    EXPECT_EQ(messages(), QStringList({overwrite7312(), kView}));
    EXPECT_EQ(MsgBox::shown().first().style, 68);
    EXPECT_EQ(MsgBox::shown().first().title, "Quorvane v2.1");
    EXPECT_EQ(logRows(), QVariantList({QVariantList{"Northwind", "Ann Lee", "7312.xlsx", "2024-03-15", 7, 12, 0}}));
    EXPECT_EQ(Desktop::openedFiles(), QStringList{workbook("7312.xlsx")});

    // No program on the desktop for it: said, naming the file; the export itself stands.
    Desktop::setOpenResult(false);
    MsgBox::clearRecords();
    MsgBox::setNextAnswer(MsgBox::Yes);
    MsgBox::setNextAnswer(MsgBox::Yes);
    ASSERT_TRUE(exportSurvey());
    Desktop::setOpenResult(true);
    ASSERT_EQ(MsgBox::shown().size(), 3);
    EXPECT_EQ(MsgBox::shown()[2].text, "Cannot view the file...." + QDir::toNativeSeparators(workbook("7312.xlsx")) +
                                           " could not be opened: no program is set up to open it...");
    EXPECT_EQ(MsgBox::shown()[2].style, 16);
    EXPECT_EQ(MsgBox::shown()[2].title, "Quorvane v2.1");

    // The file gone from the folder: written again without a question.
    QFile::remove(workbook("7312.xlsx"));
    MsgBox::clearRecords();
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey());
    EXPECT_EQ(messages(), QStringList{kView});
    EXPECT_EQ(logRows().size(), 1);
}

TEST_F(FileNamingTest, DecliningTheOverwriteQuestionChangesNothing)
{
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey());
    run("update log set Status=1");
    run("delete from reportlinktable");
    run("insert into reportlinktable (question, custid) values ('from another survey', 99)");
    const QByteArray before = bytes("7312.xlsx");
    const QString database = snapshot();
    MsgBox::clearRecords();

    MsgBox::setNextAnswer(MsgBox::No);
    SurveyExportContext c = context();
    c.mailMode = true;
    bool mailed = false;
    c.sendmail = [&](const QString&) { mailed = true; };
    EXPECT_FALSE(SurveyExport(c).toWriteToExcelSheet());
    EXPECT_FALSE(c.mailMode);
    EXPECT_FALSE(mailed);
    EXPECT_EQ(messages(), QStringList{overwrite7312()});
    EXPECT_EQ(bytes("7312.xlsx"), before);
    EXPECT_EQ(snapshot(), database);
    EXPECT_TRUE(Desktop::openedFiles().isEmpty());
}

TEST_F(FileNamingTest, SystemNamesOfOtherSurveysAreNeverWrittenOver)
{
    // Survey 7 of customer 31 for respondent 2 would also be 7312.xlsx; it was exported first.
    const int other = addCustomer("Contoso", 31);
    const int otherResp = addRespondent(other, "Bo Yang", 2);
    addSurvey(other, QDate(2024, 1, 10), 70);
    run("insert into log (custname, respname, xlsfilename, sdate, surveyid, respid, Status) "
        "values ('Contoso', 'Bo Yang', '7312.xlsx', '2024-01-10', 70, ?, 1)",
        {otherResp});
    QFile other7312(workbook("7312.xlsx"));
    ASSERT_TRUE(other7312.open(QIODevice::WriteOnly));
    other7312.write("Contoso's workbook");
    other7312.close();

    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey());
    EXPECT_EQ(m_lastFileName, "7312-2.xlsx");
    EXPECT_EQ(bytes("7312.xlsx"), "Contoso's workbook");
    EXPECT_EQ(value("select Status from log where xlsfilename='7312.xlsx'").toInt(), 1);
    EXPECT_EQ(value("select count(*) from log where xlsfilename='7312-2.xlsx' and respid=12").toInt(), 1);
}

TEST_F(FileNamingTest, AnUnloggedFileOfTheSystemNameIsAskedAbout)
{
    QFile stray(workbook("7312.xlsx"));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("someone's file");
    stray.close();

    MsgBox::setNextAnswer(MsgBox::No);
    EXPECT_FALSE(exportSurvey());
    EXPECT_EQ(messages(), QStringList{overwrite7312()});
    EXPECT_EQ(bytes("7312.xlsx"), "someone's file");
    EXPECT_TRUE(logRows().isEmpty());
}

TEST_F(FileNamingTest, UserDefinedNameComesFromTheSaveDialogUntilItIsFree)
{
    run("insert into log (custname, respname, xlsfilename, sdate) values ('Other', 'X', 'south.xlsx', '2020-01-01')");
    MsgBox::setNextFileName("/somewhere/else/South.xlsx"); // logged already (letter case aside)
    MsgBox::setNextFileName("/elsewhere/Template");        // the template
    MsgBox::setNextFileName("C:\\surveys\\north.xlsx");    // a path in the title
    MsgBox::setNextFileName("/elsewhere/north");
    MsgBox::setNextAnswer(MsgBox::Ok);
    MsgBox::setNextAnswer(MsgBox::Ok);
    MsgBox::setNextAnswer(MsgBox::Ok);
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey(true));

    EXPECT_EQ(m_lastFileName, "north.xlsx");
    EXPECT_TRUE(QFile::exists(workbook("north.xlsx")));
    EXPECT_FALSE(QFile::exists("/elsewhere/north.xlsx"));
    EXPECT_EQ(MsgBox::fileDialogsShown().size(), 4);
    EXPECT_TRUE(MsgBox::fileDialogsShown().first().save);
    // A taken name gets the program's own message only: the dialog does not ask about replacing it first.
    EXPECT_FALSE(MsgBox::fileDialogsShown().first().confirmOverwrite);
    EXPECT_EQ(messages(),
              QStringList({kDuplicate, kDuplicate, "Survey File Name cannot contain a path separator...", kView}));
    EXPECT_EQ(MsgBox::shown().first().style, 16);
    EXPECT_EQ(value("select count(*) from log where xlsfilename='north.xlsx' and respid=12 and surveyid=7").toInt(), 1);
    EXPECT_NE(bytes("template.xlsx"), bytes("north.xlsx"));

    // Later exports reuse the logged name: no dialog; the overwrite question while the file is there.
    MsgBox::clearRecords();
    MsgBox::setNextAnswer(MsgBox::Yes);
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey(true));
    EXPECT_TRUE(MsgBox::fileDialogsShown().isEmpty());
    EXPECT_TRUE(messages().first().startsWith("north.xlsx file apready exist for Respondent - Ann Lee"));

    QFile::remove(workbook("north.xlsx"));
    MsgBox::clearRecords();
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey(true));
    EXPECT_TRUE(MsgBox::fileDialogsShown().isEmpty());
    EXPECT_EQ(messages(), QStringList{kView});
    EXPECT_TRUE(QFile::exists(workbook("north.xlsx")));

    // System Defined keeps the logged user-defined name while the file exists.
    MsgBox::setNextAnswer(MsgBox::Yes);
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey(false));
    EXPECT_EQ(m_lastFileName, "north.xlsx");
    EXPECT_FALSE(QFile::exists(workbook("7312.xlsx")));
}

TEST_F(FileNamingTest, CancellingTheSaveDialogWritesNothing)
{
    run("insert into log (custname, respname, xlsfilename, sdate, respid, Status) "
        "values ('Northwind', 'Ann Lee', 'gone.xlsx', '2024-03-15', 12, 1)");
    run("update log set xlsfilename=''");
    const QVariantList log = logRows();
    const QStringList files = QDir(folder()).entryList(QDir::Files);
    run("update setting set checkeduser=1");
    MsgBox::setNextFileName(QString());
    EXPECT_FALSE(exportSurvey(frmSetting::toGetSetting()));
    EXPECT_EQ(MsgBox::fileDialogsShown().size(), 1);
    EXPECT_EQ(messages(), QStringList{kCancelled});
    EXPECT_EQ(MsgBox::shown().first().style, 64);
    EXPECT_EQ(logRows(), log);
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), files);
}

TEST_F(FileNamingTest, SystemDefinedWithoutStoredQuestionsAsksForAName)
{
    run("delete from responquesindex");
    MsgBox::setNextFileName("/tmp/empty-survey.xlsx");
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey(false));
    EXPECT_EQ(m_lastFileName, "empty-survey.xlsx");
    EXPECT_EQ(MsgBox::fileDialogsShown().size(), 1);
}

TEST_F(FileNamingTest, FailuresSayWhyAndLeaveTheOldWorkbookAndLog)
{
    // No template: nothing saved, nothing logged, no success message.
    QFile::rename(workbook("template.xlsx"), workbook("moved.xlsx"));
    EXPECT_FALSE(exportSurvey());
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith("Survey File could not be Exported....\r\n"));
    EXPECT_TRUE(logRows().isEmpty());
    EXPECT_FALSE(QFile::exists(workbook("7312.xlsx")));
    QFile::rename(workbook("moved.xlsx"), workbook("template.xlsx"));

    // A log that refuses the new row: the saved file is taken back.
    run("create trigger refuse before insert on log begin select raise(abort, 'log refused'); end");
    MsgBox::clearRecords();
    EXPECT_FALSE(exportSurvey());
    EXPECT_FALSE(QFile::exists(workbook("7312.xlsx")));
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_TRUE(messages().first().startsWith("Error : "));
    EXPECT_FALSE(messages().contains(kView));
    run("drop trigger refuse");

    // An existing workbook whose log row cannot be rewritten keeps its old content and mark.
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey());
    run("update log set Status=1");
    const QByteArray before = bytes("7312.xlsx");
    run("create trigger refuse before update on log begin select raise(abort, 'log refused'); end");
    run("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
        "select 12, questionid, 7, 2 from questions where question='On time?'");
    MsgBox::clearRecords();
    MsgBox::setNextAnswer(MsgBox::Yes);
    EXPECT_FALSE(exportSurvey());
    EXPECT_EQ(bytes("7312.xlsx"), before);
    EXPECT_EQ(value("select Status from log").toInt(), 1);
    EXPECT_FALSE(messages().contains(kView));
}

TEST_F(FileNamingTest, AWriteThatFailsOnAFullDiskKeepsTheOldWorkbookAndStopsThere)
{
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey());
    run("update log set Status=1");
    const QByteArray before = bytes("7312.xlsx");
    const QVariantList log = logRows();
    struct DiskFull {
        DiskFull() { WholeFile::failAfter(2048, ENOSPC); }
        ~DiskFull() { WholeFile::failAfter(-1, 0); }
    } full;

    MsgBox::clearRecords();
    MsgBox::setNextAnswer(MsgBox::Yes);
    EXPECT_FALSE(exportSurvey());
    EXPECT_EQ(bytes("7312.xlsx"), before);
    EXPECT_EQ(logRows(), log);
    ASSERT_FALSE(messages().isEmpty());
    const QString failure = messages().last();
    EXPECT_TRUE(failure.startsWith("Survey File could not be Exported....\r\n")) << failure.toStdString();
    EXPECT_TRUE(failure.contains("7312.xlsx"));
    EXPECT_TRUE(failure.endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << failure.toStdString();
    EXPECT_FALSE(messages().contains(kView));

    // Nor is a workbook that was not written mailed.
    SurveyExportContext c = context();
    c.mailMode = true;
    bool mailed = false;
    c.sendmail = [&mailed](const QString&) { mailed = true; };
    MsgBox::setNextAnswer(MsgBox::Yes);
    EXPECT_FALSE(SurveyExport(c).toWriteToExcelSheet());
    EXPECT_FALSE(mailed);
    EXPECT_EQ(bytes("7312.xlsx"), before);
}

TEST_F(FileNamingTest, AnOldWorkbookThatCannotBePutBackIsNamed)
{
    // An unlogged file in the way, far larger than the new workbook; the disk takes the new one but not it again.
    const QByteArray old(1 << 20, 'x');
    {
        QFile f(workbook("7312.xlsx"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    run("create trigger refuse before insert on log begin select raise(abort, 'log refused'); end");
    struct DiskFull {
        DiskFull() { WholeFile::failAfter(1 << 19, ENOSPC); }
        ~DiskFull() { WholeFile::failAfter(-1, 0); }
    } full;

    MsgBox::setNextAnswer(MsgBox::Yes);
    EXPECT_FALSE(exportSurvey());
    const QByteArray now = bytes("7312.xlsx");
    EXPECT_TRUE(now.startsWith("PK")) << "the new workbook stays";
    EXPECT_TRUE(logRows().isEmpty());
    ASSERT_EQ(messages().size(), 3);
    EXPECT_EQ(messages()[0], overwrite7312());
    EXPECT_TRUE(messages()[1].startsWith("Error : ")) << messages()[1].toStdString();
    EXPECT_TRUE(messages()[1].contains("log refused")) << messages()[1].toStdString();
    EXPECT_EQ(messages()[2], "The old Survey File could not be put back....\r\n" +
                                 QDir::toNativeSeparators(workbook("7312.xlsx")) +
                                 " now holds the new Survey File, which is not logged.\r\n" +
                                 QString::fromLocal8Bit(std::strerror(ENOSPC)));
    EXPECT_EQ(MsgBox::shown()[2].style, 16);
}

TEST_F(FileNamingTest, AFailedExportLeavesAnUnreadableFileAndALinkAsTheyWere)
{
    run("create trigger refuse before insert on log begin select raise(abort, 'log refused'); end");
    const QString path = workbook("7312.xlsx");

    // A link that leads nowhere yet: the new workbook is taken back from where it landed; the link stays.
    const QString target = workbook("elsewhere.xlsx");
    ASSERT_TRUE(QFile::link(target, path));
    EXPECT_FALSE(exportSurvey());
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(QFile::symLinkTarget(path), target);
    ASSERT_TRUE(QFile::remove(path));

    // An unlogged file in the way that the user cannot read is neither replaced nor emptied.
    const QByteArray old("another account's workbook");
    ASSERT_TRUE(WholeFile::write(path, old) && QFile::setPermissions(path, {}));
    MsgBox::clearRecords();
    passPermissionBits(false);
    const bool unreadable = !QFile(path).open(QIODevice::ReadOnly);
    MsgBox::setNextAnswer(MsgBox::Yes);
    const bool exported = unreadable && exportSurvey();
    passPermissionBits(true);
    if (!unreadable)
        GTEST_SKIP() << "permission bits do not stop this user";
    EXPECT_FALSE(exported);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(bytes("7312.xlsx"), old);
    EXPECT_EQ(messages(), QStringList({overwrite7312(), "Survey File could not be Exported....\r\nCannot read " +
                                                            QDir::toNativeSeparators(path) + ": " +
                                                            QString::fromLocal8Bit(std::strerror(EACCES))}));
}

TEST_F(FileNamingTest, MailModeMailsTheSavedFileWithoutTheViewQuestion)
{
    SurveyExportContext c = context();
    c.mailMode = true;
    QString mailed;
    c.sendmail = [&](const QString& name) {
        mailed = name;
        EXPECT_TRUE(QFile::exists(workbook(name)));
        EXPECT_EQ(value("select count(*) from log where xlsfilename=?", {name}).toInt(), 1);
    };
    ASSERT_TRUE(SurveyExport(c).toWriteToExcelSheet());
    EXPECT_EQ(mailed, "7312.xlsx");
    EXPECT_FALSE(c.mailMode);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(FileNamingTest, ExportButtonNeedsAQuestionInTheGrid)
{
    SurveyExportContext c = context();
    SurveyExport(c).cmdExport_Click(2);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(logRows().isEmpty());
    EXPECT_TRUE(value("select count(*) from reportlinktable").toInt() == 0);

    MsgBox::setNextAnswer(MsgBox::No);
    SurveyExport(c).cmdExport_Click(3);
    EXPECT_EQ(c.fileName, "7312.xlsx");
    EXPECT_EQ(logRows().size(), 1);
}

TEST_F(FileNamingTest, LogLookupsTakeAnyNameSafely)
{
    SurveyExportContext c = context();
    SurveyExport e(c);
    const QString odd = QStringLiteral("o'neil; drop table log --.xlsx");
    e.toSaveLogDetails(m_customer, m_respondent, odd, m_date);
    e.toSaveLogDetails(m_customer, m_respondent, odd, m_date);
    EXPECT_EQ(value("select count(*) from log").toInt(), 1);
    EXPECT_TRUE(e.toCheckDuplicateFileName(odd));
    EXPECT_TRUE(e.toCheckDuplicateFileName("O'NEIL; DROP TABLE LOG --.XLSX"));
    EXPECT_FALSE(e.toCheckDuplicateFileName("o'neil"));
    EXPECT_EQ(e.toGetLogFileName(), odd);
    EXPECT_EQ(e.toGetSystemFileName(), "7312.xlsx");
    EXPECT_FALSE(e.toCheckFileExists("  "));
    EXPECT_TRUE(e.toCheckFileExists("template.xlsx"));
    run("update log set Status=1");
    e.toResetLogStatus("12");
    EXPECT_EQ(value("select Status from log").toInt(), 0);
    EXPECT_TRUE(messages().isEmpty());
}

} // namespace
