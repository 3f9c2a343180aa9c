#include "PythonHelper.h"

#include "platform/workbook/CellAddress.h"
#include "platform/workbook/Workbook.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace
{

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(WorkbookSave, FailedSaveLeavesTheOldFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("survey.xlsx"));
    auto book = Workbook::createNew();
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    s->setValue(1, 1, QStringLiteral("first version"));
    ASSERT_TRUE(book->saveAs(path));
    const QByteArray before = contents(path);

    for (int r = 14; r < 2000; ++r)
        s->setValue(r, 2, QStringLiteral("question text that makes the file grow %1").arg(r));
    {
        const FileSizeLimit limit(rlim_t(before.size() + 100));
        EXPECT_FALSE(book->save());
    }
    EXPECT_TRUE(book->errorString().contains(QStringLiteral("survey.xlsx")));
    EXPECT_TRUE(book->errorString().endsWith(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << book->errorString().toStdString();
    EXPECT_EQ(contents(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("survey.xlsx")});
    auto old = Workbook::open(path);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->sheet(QStringLiteral("Sheet1"))->text(1, 1), QStringLiteral("first version"));

    // Once the disk has room again the same workbook saves in full.
    ASSERT_TRUE(book->save()) << book->errorString().toStdString();
    EXPECT_EQ(Workbook::open(path)->sheet(QStringLiteral("Sheet1"))->text(1999, 2),
              QStringLiteral("question text that makes the file grow 1999"));

    EXPECT_FALSE(book->saveAs(dir.filePath(QStringLiteral("no/such/folder/x.xlsx"))));
    EXPECT_FALSE(Workbook::createNew()->save()); // no file name yet
}

TEST(WorkbookSave, CalculationChainGoesWithTheFormulasItNames)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("formulas.xlsx"));
    PythonHelper::run(QStringLiteral(R"(
import sys, zipfile, openpyxl
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Sheet1'
ws['A14'] = '=1+2'
wb.save(sys.argv[1] + '.tmp')
src = zipfile.ZipFile(sys.argv[1] + '.tmp')
with zipfile.ZipFile(sys.argv[1], 'w') as out:
    for name in src.namelist():
        data = src.read(name)
        if name == '[Content_Types].xml':
            data = data.replace(b'</Types>', b'<Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>')
        if name == 'xl/_rels/workbook.xml.rels':
            data = data.replace(b'</Relationships>', b'<Relationship Id="rIdCalc" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>')
        out.writestr(name, data)
    out.writestr('xl/calcChain.xml', b'<?xml version="1.0"?><calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><c r="A14" i="1"/></calcChain>')
)"),
                      {path});
    auto book = Workbook::open(path);
    ASSERT_NE(book, nullptr);
    book->sheet(QStringLiteral("Sheet1"))->clearRange(14, 1, Worksheet::MaxRows, 7);
    ASSERT_TRUE(book->save());
    EXPECT_TRUE(PythonHelper::zipPart(path, QStringLiteral("xl/calcChain.xml")).isEmpty());
    EXPECT_FALSE(PythonHelper::zipPart(path, QStringLiteral("[Content_Types].xml")).contains("calcChain"));
    EXPECT_FALSE(PythonHelper::zipPart(path, QStringLiteral("xl/_rels/workbook.xml.rels")).contains("calcChain"));
}

TEST(WorkbookSave, ResavedBySpreadsheetProgramReadsBack)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice (libreoffice-calc-nogui) is not installed";
    QTemporaryDir dir;
    QTemporaryDir profile;
    const QString path = dir.filePath(QStringLiteral("survey.xlsx"));
    {
        auto book = Workbook::createNew();
        Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
        s->setValue(2, 9, 12);
        s->setValue(3, 9, QDate(2024, 3, 15));
        s->setValue(4, 9, 1);
        s->setValue(14, 2, QStringLiteral("Were invoices correct?"));
        s->setBorderAround(14, 2, 3);
        s->setLocked(14, 3, false);
        s->setValue(14, 3, 8);
        s->setValue(14, 4, 2.5);
        s->setValue(15, 2, QStringLiteral("Type your Answer here"));
        s->protect(QStringLiteral("wubtej"));
        ASSERT_TRUE(book->saveAs(path));
    }
    const QString out = dir.filePath(QStringLiteral("out"));
    QProcess lo;
    lo.start(soffice, {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                       QStringLiteral("--convert-to"), QStringLiteral("xlsx"), QStringLiteral("--outdir"), out, path});
    ASSERT_TRUE(lo.waitForFinished(120000));
    QString error;
    auto book = Workbook::open(QDir(out).filePath(QStringLiteral("survey.xlsx")), &error);
    ASSERT_NE(book, nullptr) << error.toStdString() << lo.readAllStandardError().toStdString();
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->text(2, 9), QStringLiteral("12"));
    EXPECT_EQ(s->dateValue(3, 9), QDate(2024, 3, 15));
    EXPECT_EQ(s->text(14, 2), QStringLiteral("Were invoices correct?"));
    EXPECT_EQ(s->text(14, 3), QStringLiteral("8"));
    EXPECT_EQ(s->text(14, 4), QStringLiteral("2.5"));
    EXPECT_EQ(s->text(15, 2), QStringLiteral("Type your Answer here"));
    EXPECT_FALSE(s->format(14, 3).locked);
    EXPECT_TRUE(s->format(14, 2).locked);
    EXPECT_EQ(s->format(14, 2).borderColor, QStringLiteral("FFFF0000"));
    EXPECT_TRUE(s->isProtected());
    EXPECT_FALSE(s->unprotect(QStringLiteral("other")));
    EXPECT_TRUE(s->unprotect(QStringLiteral("wubtej")));
}

TEST(CellAddress, LettersAndNumbers)
{
    EXPECT_EQ(CellAddress::columnName(1), QStringLiteral("A"));
    EXPECT_EQ(CellAddress::columnName(26), QStringLiteral("Z"));
    EXPECT_EQ(CellAddress::columnName(27), QStringLiteral("AA"));
    EXPECT_EQ(CellAddress::columnName(16384), QStringLiteral("XFD"));
    EXPECT_EQ(CellAddress::columnName(16385), QString());
    for (int c : {1, 9, 26, 27, 52, 53, 702, 703, 16384})
        EXPECT_EQ(CellAddress::columnNumber(CellAddress::columnName(c)), c);
    EXPECT_EQ(CellAddress::columnNumber(u"XFE"), 0);

    int row = 0, column = 0;
    EXPECT_TRUE(CellAddress::parse(u"$I$14", &row, &column));
    EXPECT_EQ(row, 14);
    EXPECT_EQ(column, 9);
    EXPECT_EQ(CellAddress::format(1048576, 7), QStringLiteral("G1048576"));
    for (const char16_t* bad : {u"", u"14", u"I", u"I0", u"I1048577", u"1I", u"I1x"})
        EXPECT_FALSE(CellAddress::parse(bad, &row, &column)) << QString::fromUtf16(bad).toStdString();
}
