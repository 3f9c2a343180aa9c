// Files that are not sound survey workbooks: the reader says why and never crashes or hangs.

#include "ExportFixture.h"

#include "feedback/SurveyWorkbookReader.h"
#include "platform/dialogs/MsgBox.h"

#include <QElapsedTimer>
#include <QFile>

namespace
{

class ReaderInputTest : public ExportFixture
{
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        const int p = addParameter(QStringLiteral("Service"));
        addToSurvey(m_respid, m_surveyid, {addQuestion(p, QStringLiteral("On time?"), true)});
        MsgBox::setNextAnswer(MsgBox::No);
        ASSERT_TRUE(exportSurvey());
        m_good = workbook(m_lastFileName);
    }

    // A copy of the exported workbook changed by a few lines of Python (variables: src, dst).
    QString changed(const QString& name, const QString& code)
    {
        const QString dst = workbook(name);
        python(QStringLiteral("import sys, zipfile, openpyxl\nsrc, dst = sys.argv[1], sys.argv[2]\n") + code,
               {m_good, dst});
        return dst;
    }
    QString withBytes(const QString& name, const QByteArray& bytes)
    {
        QFile f(workbook(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    // The error of a refused read ("" when the file was read).
    static QString refusal(const QString& path)
    {
        SurveyWorkbookReader::Content content;
        QString error;
        QElapsedTimer timer;
        timer.start();
        const bool ok = SurveyWorkbookReader::read(path, &content, &error);
        EXPECT_LT(timer.elapsed(), 10000);
        return ok ? QString() : (error.isEmpty() ? QStringLiteral("(no reason)") : error);
    }
    QByteArray goodBytes() const
    {
        QFile f(m_good);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString m_good;
};

const char* const kReplaceSheet = "zin = zipfile.ZipFile(src)\n"
                                  "with zipfile.ZipFile(dst, 'w', zipfile.ZIP_DEFLATED) as z:\n"
                                  "    for i in zin.infolist():\n"
                                  "        data = zin.read(i.filename)\n"
                                  "        if i.filename == 'xl/worksheets/sheet1.xml':\n"
                                  "            data = SHEET\n"
                                  "        z.writestr(i.filename, data)\n";

TEST_F(ReaderInputTest, ArchivesThatAreNoWorkbooks)
{
    EXPECT_EQ(refusal(m_good), "");
    EXPECT_NE(refusal(withBytes("text.xlsx", "just some text, not a zip")), "");
    EXPECT_NE(refusal(withBytes("empty.xlsx", QByteArray())), "");
    const QByteArray good = goodBytes();
    EXPECT_NE(refusal(withBytes("half.xlsx", good.left(good.size() / 2))), "");
    EXPECT_NE(refusal(withBytes("tail.xlsx", good.left(good.size() - 10))), "");
    EXPECT_NE(refusal(QStringLiteral(QUORVANE_TESTS_DIR "/data/workbooks/old-binary.xls")), "");
    EXPECT_NE(refusal(workbook("missing.xlsx")), "");
}

TEST_F(ReaderInputTest, BrokenPartsAndAZipBomb)
{
    EXPECT_NE(refusal(changed("malformed.xlsx",
                              QStringLiteral("SHEET = b'<worksheet><sheetData><row r=\"1\"><c r=\"A1\"'\n") +
                                  QLatin1String(kReplaceSheet))),
              "");
    // 300 MB of blanks deflate to a few hundred kilobytes.
    const QString bomb =
        changed("bomb.xlsx", QStringLiteral("SHEET = b' ' * (300 * 1024 * 1024)\n") + QLatin1String(kReplaceSheet));
    EXPECT_LT(QFileInfo(bomb).size(), 2 * 1024 * 1024);
    EXPECT_TRUE(refusal(bomb).contains("inflates")) << refusal(bomb).toStdString();
    EXPECT_TRUE(refusal(changed("other-sheet.xlsx", "wb = openpyxl.load_workbook(src)\n"
                                                    "wb['Sheet1'].title = 'Answers'\n"
                                                    "wb.save(dst)\n"))
                    .contains("Sheet1"));
}

TEST_F(ReaderInputTest, OlderAndPasswordProtectedWorkbooksAreNamed)
{
    QFile xls(QStringLiteral(QUORVANE_TESTS_DIR "/data/workbooks/old-binary.xls"));
    ASSERT_TRUE(xls.open(QIODevice::ReadOnly));
    const QByteArray old = xls.readAll();
    const QString renamed = withBytes("renamed.xlsx", old);
    EXPECT_TRUE(refusal(renamed).contains("renamed.xlsx is an older .xls workbook")) << refusal(renamed).toStdString();

    // A workbook saved with a password to open it comes in the same container, with its encrypted package in
    // streams of their own: the .xls file's workbook stream is renamed to one of them.
    QByteArray encrypted = old;
    const QByteArray workbookName = QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0\0\0", 18);
    const qsizetype entry = encrypted.indexOf(workbookName);
    ASSERT_GE(entry, 0);
    const QByteArray infoName = QByteArray("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0\0\0", 30);
    encrypted.replace(entry, infoName.size(), infoName);
    encrypted[entry + 64] = char(infoName.size());
    const QString locked = withBytes("locked.xlsx", encrypted);
    EXPECT_TRUE(refusal(locked).contains("locked.xlsx is password-protected")) << refusal(locked).toStdString();

    // Other files keep the reason they had.
    EXPECT_TRUE(refusal(withBytes("text.xlsx", "just some text")).contains("is not a workbook (.xlsx)"));
}

TEST_F(ReaderInputTest, HeaderCellsThatDoNotHoldWhatTheyShould)
{
    const auto cell = [this](const char* name, const char* ref, const char* value) {
        return changed(QLatin1String(name), QStringLiteral("wb = openpyxl.load_workbook(src)\n"
                                                           "wb['Sheet1']['%1'] = %2\n"
                                                           "wb.save(dst)\n")
                                                .arg(QLatin1String(ref), QLatin1String(value)));
    };
    EXPECT_TRUE(refusal(cell("i4-text.xlsx", "I4", "'three'")).contains("I4"));
    EXPECT_TRUE(refusal(cell("i4-huge.xlsx", "I4", "1e9")).contains("I4"));
    EXPECT_TRUE(refusal(cell("i3-text.xlsx", "I3", "'soon'")).contains("I3"));
    EXPECT_TRUE(refusal(cell("i3-empty.xlsx", "I3", "None")).contains("I3"));
    // Numbers kept as text and an empty count still read.
    EXPECT_EQ(refusal(cell("i4-digits.xlsx", "I4", "'1'")), "");
    EXPECT_EQ(refusal(cell("i4-empty.xlsx", "I4", "None")), "");
    const QString otherPassword = changed("password.xlsx", "wb = openpyxl.load_workbook(src)\n"
                                                           "wb['Sheet1'].protection.password = 'secret'\n"
                                                           "wb.save(dst)\n");
    EXPECT_TRUE(refusal(otherPassword).contains("password"));
}

TEST_F(ReaderInputTest, StrayCellsInTheQuestionAreaAreReadAsTheyAre)
{
    // Text where a score belongs is handed over as text; a block starting past the last examined row is not read.
    const QString path = changed("stray.xlsx", "wb = openpyxl.load_workbook(src)\n"
                                               "ws = wb['Sheet1']\n"
                                               "ws['C14'] = 'ten'; ws['D14'] = 7.5\n"
                                               "ws['I40'] = 99\n"
                                               "wb.save(dst)\n");
    SurveyWorkbookReader::Content content;
    QString error;
    ASSERT_TRUE(SurveyWorkbookReader::read(path, &content, &error));
    ASSERT_EQ(content.answers.size(), 1);
    EXPECT_EQ(content.answers[0].score, "ten");
    EXPECT_EQ(content.answers[0].weightage, "7.5");
}

} // namespace
