#include "PythonHelper.h"

#include "platform/workbook/CellError.h"
#include "platform/workbook/Workbook.h"

#include <QFile>
#include <QJsonArray>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace
{

const char* const ContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>)"
    R"(<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>)"
    R"(<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>)"
    R"(<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>)"
    R"(</Types>)";
const char* const RootRels =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="/xl/workbook.xml"/>)"
    R"(</Relationships>)";
// Targets written absolute and relative, as different programs do.
const char* const WorkbookRels =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rIdA" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet1.xml"/>)"
    R"(<Relationship Id="rIdB" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(<Relationship Id="rIdC" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="./sharedStrings.xml"/>)"
    R"(</Relationships>)";
// Style 1: short date; 2: a custom day-first date; 3: a time of day; 4: general.
const char* const Styles =
    R"(<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<numFmts count="2"><numFmt numFmtId="164" formatCode="dd/mm/yyyy;@"/><numFmt numFmtId="165" formatCode="[$-409]h:mm\ AM/PM"/></numFmts>)"
    R"(<fonts count="1"><font><sz val="10"/><name val="Arial"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>)"
    R"(<borders count="1"><border/></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="5"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>)"
    R"(<xf numFmtId="14" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>)"
    R"(<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>)"
    R"(<xf numFmtId="165" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>)"
    R"(<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs></styleSheet>)";
// Rich text runs, a phonetic guide that is not part of the text, and an escaped carriage return.
const char* const SharedStrings =
    R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="3" uniqueCount="3">)"
    R"(<si><t>Plain</t></si>)"
    R"(<si><r><t xml:space="preserve">Very </t></r><r><rPr><b/><color rgb="FFFF0000"/></rPr><t>good</t></r><rPh sb="0" eb="1"><t>XX</t></rPh></si>)"
    R"(<si><t>a_x000D_b</t></si>)"
    R"(</sst>)";

QByteArray workbookXml(bool date1904)
{
    return QByteArray(
               R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
               R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)") +
           (date1904 ? R"(<workbookPr date1904="true"/>)" : R"(<workbookPr/>)") +
           R"(<sheets><sheet name="Sheet1" sheetId="1" r:id="rIdA"/></sheets></workbook>)";
}

QByteArray sheetXml(const QByteArray& rows)
{
    return R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
           "<sheetData>" +
           rows + "</sheetData></worksheet>";
}

class WorkbookRead : public ::testing::Test
{
protected:
    std::unique_ptr<Workbook> crafted(const QByteArray& rows, bool date1904 = false, const QByteArray& sheet = {},
                                      const QByteArray& sharedStrings = SharedStrings)
    {
        if (sheet.size() + sharedStrings.size() > 64 * 1024)
            return large(sheet.isEmpty() ? sheetXml(rows) : sheet, sharedStrings);
        const QString path = dir.filePath(QStringLiteral("crafted.xlsx"));
        PythonHelper::writeZip(path, {{"[Content_Types].xml", ContentTypes},
                                      {"_rels/.rels", RootRels},
                                      {"xl/workbook.xml", workbookXml(date1904)},
                                      {"xl/_rels/workbook.xml.rels", WorkbookRels},
                                      {"xl/styles.xml", Styles},
                                      {"xl/sharedStrings.xml", sharedStrings},
                                      {"xl/worksheets/sheet1.xml", sheet.isEmpty() ? sheetXml(rows) : sheet}});
        QString error;
        auto book = Workbook::open(path, &error);
        EXPECT_NE(book, nullptr) << error.toStdString();
        return book;
    }

    // Parts too large to hand to Python on its command line, packed by the package layer.
    std::unique_ptr<Workbook> large(const QByteArray& sheet, const QByteArray& sharedStrings)
    {
        XlsxPackage package;
        package.setData(QStringLiteral("[Content_Types].xml"), ContentTypes);
        package.setData(QStringLiteral("_rels/.rels"), RootRels);
        package.setData(QStringLiteral("xl/workbook.xml"), workbookXml(false));
        package.setData(QStringLiteral("xl/_rels/workbook.xml.rels"), WorkbookRels);
        package.setData(QStringLiteral("xl/styles.xml"), Styles);
        package.setData(QStringLiteral("xl/sharedStrings.xml"), sharedStrings);
        package.setData(QStringLiteral("xl/worksheets/sheet1.xml"), sheet);
        QByteArray zip;
        QString error;
        EXPECT_TRUE(package.toZip(&zip, &error)) << error.toStdString();
        const QString path = dir.filePath(QStringLiteral("large.xlsx"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(zip) == zip.size());
        file.close();
        auto book = Workbook::open(path, &error);
        EXPECT_NE(book, nullptr) << error.toStdString();
        return book;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(WorkbookRead, CellsAsOtherProgramsWriteThem)
{
    auto book = crafted(R"(<row r="2">)"
                        R"(<c r="A2" t="s"><v>0</v></c><c r="B2" t="s"><v>1</v></c><c r="C2" t="s"><v>2</v></c>)"
                        R"(<c r="D2" t="inlineStr"><is><t xml:space="preserve"> inline </t></is></c>)"
                        R"(<c r="E2" t="inlineStr"><is><r><t>ri</t></r><r><rPr><i/></rPr><t>ch</t></r></is></c>)"
                        R"(</row><row r="3">)"
                        R"(<c r="A3"><v>1E1</v></c><c r="B3"><v>3.0</v></c><c r="C3"><v> 4</v></c>)"
                        R"(<c r="D3" t="n"><v>2.5</v></c><c r="E3"><v>-7</v></c><c r="F3"><v></v></c><c r="G3" s="4"/>)"
                        R"(</row><row r="4">)"
                        R"(<c r="A4" t="b"><v>1</v></c><c r="B4" t="b"><v>0</v></c>)"
                        R"(<c r="C4"><f>1+2</f><v>3</v></c><c r="D4" t="str"><f>"x"&amp;"y"</f><v>xy</v></c>)"
                        R"(<c r="E4" t="b"><f>TRUE()</f><v>1</v></c><c r="F4" t="e"><v>#N/A</v></c>)"
                        R"(<c r="G4" t="e"><f>1/0</f><v>#DIV/0!</v></c>)"
                        R"(</row>)");
    ASSERT_NE(book, nullptr);
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    ASSERT_NE(s, nullptr);

    EXPECT_EQ(s->value(2, 1), QVariant(QStringLiteral("Plain")));
    EXPECT_EQ(s->value(2, 2), QVariant(QStringLiteral("Very good")));
    EXPECT_EQ(s->value(2, 3), QVariant(QStringLiteral("a\rb")));
    EXPECT_EQ(s->value(2, 4), QVariant(QStringLiteral(" inline ")));
    EXPECT_EQ(s->value(2, 5), QVariant(QStringLiteral("rich")));

    EXPECT_EQ(s->value(3, 1), QVariant(qint64(10)));
    EXPECT_EQ(s->value(3, 2), QVariant(qint64(3)));
    EXPECT_EQ(s->value(3, 3), QVariant(qint64(4)));
    EXPECT_EQ(s->value(3, 4), QVariant(2.5));
    EXPECT_EQ(s->text(3, 1), QStringLiteral("10"));
    EXPECT_EQ(s->text(3, 2), QStringLiteral("3"));
    EXPECT_EQ(s->text(3, 4), QStringLiteral("2.5"));
    EXPECT_EQ(s->text(3, 5), QStringLiteral("-7"));
    EXPECT_FALSE(s->value(3, 6).isValid());
    EXPECT_FALSE(s->value(3, 7).isValid());

    EXPECT_EQ(s->value(4, 1), QVariant(true));
    EXPECT_EQ(s->value(4, 2), QVariant(false));
    EXPECT_EQ(s->value(4, 3), QVariant(qint64(3)));
    EXPECT_EQ(s->value(4, 4), QVariant(QStringLiteral("xy")));
    EXPECT_EQ(s->value(4, 5), QVariant(true));
    const QVariant na = s->value(4, 6);
    ASSERT_EQ(na.typeId(), qMetaTypeId<CellError>());
    EXPECT_EQ(na.value<CellError>().code, QStringLiteral("#N/A"));
    EXPECT_NE(na, QVariant(QStringLiteral("#N/A")));
    EXPECT_EQ(s->value(4, 7).value<CellError>().code, QStringLiteral("#DIV/0!"));
}

TEST_F(WorkbookRead, DatesInBothDateSystemsAndAsText)
{
    const QByteArray rows = R"(<row r="3">)"
                            R"(<c r="A3" s="1"><v>45366</v></c><c r="B3" s="2"><v>45366.75</v></c>)"
                            R"(<c r="C3" s="3"><v>0.5</v></c><c r="D3" s="4"><v>45366</v></c>)"
                            R"(<c r="E3" s="1"><v>59</v></c><c r="F3" s="1"><v>61</v></c>)"
                            R"(<c r="G3" t="d"><v>2024-03-15T00:00:00</v></c>)"
                            R"(<c r="H3" t="inlineStr"><is><t>2024-03-15</t></is></c>)"
                            R"(<c r="I3" t="inlineStr"><is><t>not a date</t></is></c>)"
                            R"(</row>)";
    {
        auto book = crafted(rows);
        Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
        EXPECT_FALSE(book->uses1904Dates());
        EXPECT_EQ(s->value(3, 1), QVariant(QDate(2024, 3, 15)));
        EXPECT_EQ(s->value(3, 2), QVariant(QDate(2024, 3, 15)));
        EXPECT_EQ(s->value(3, 3), QVariant(0.5)); // a time of day is no date
        EXPECT_EQ(s->value(3, 4), QVariant(qint64(45366)));
        EXPECT_EQ(s->dateValue(3, 4), QDate(2024, 3, 15));
        EXPECT_EQ(s->value(3, 5), QVariant(QDate(1900, 2, 28)));
        EXPECT_EQ(s->value(3, 6), QVariant(QDate(1900, 3, 1)));
        EXPECT_EQ(s->dateValue(3, 7), QDate(2024, 3, 15));
        EXPECT_EQ(s->dateValue(3, 8), QDate(2024, 3, 15));
        EXPECT_FALSE(s->dateValue(3, 9).isValid());
        EXPECT_EQ(s->text(3, 1), QStringLiteral("2024-03-15"));
    }
    {
        auto book = crafted(rows, true);
        Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
        EXPECT_TRUE(book->uses1904Dates());
        EXPECT_EQ(s->value(3, 1), QVariant(QDate(2028, 3, 16)));
        EXPECT_EQ(s->dateValue(3, 4), QDate(2028, 3, 16));
        EXPECT_EQ(s->value(3, 5), QVariant(QDate(1904, 2, 29)));
    }
}

TEST_F(WorkbookRead, DateTextInTheSystemsShortForm)
{
    const QString shortText = QLocale::system().toString(QDate(2024, 3, 15), QLocale::ShortFormat);
    auto book =
        crafted(R"(<row r="1"><c r="A1" t="inlineStr"><is><t>)" + shortText.toUtf8() + R"(</t></is></c></row>)");
    const QDate date = book->sheet(QStringLiteral("Sheet1"))->dateValue(1, 1);
    EXPECT_EQ(date, QDate(2024, 3, 15));
}

TEST_F(WorkbookRead, CellsOutOfOrderOrTwiceAtOneAddress)
{
    // The first of two cells with one address counts, wherever a cell stands in its row, before and after a write.
    auto book = crafted(R"(<row r="2"><c r="C2"><v>3</v></c><c r="A2"><v>1</v></c><c r="C2"><v>9</v></c></row>)"
                        R"(<row r="2"><c r="B2"><v>7</v></c></row>)");
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(s->text(2, 1), QStringLiteral("1"));
        EXPECT_EQ(s->text(2, 3), QStringLiteral("3"));
        EXPECT_EQ(s->text(2, 2), pass == 0 ? QString() : QStringLiteral("new"));
        s->setValue(2, 2, QStringLiteral("new"));
    }
}

TEST_F(WorkbookRead, PrefixedNamesAndCellsWithoutAddresses)
{
    const QByteArray sheet =
        R"(<?xml version="1.0" encoding="UTF-8"?><x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<x:sheetData><x:row><x:c t="s"><x:v>0</x:v></x:c><x:c><x:v>5</x:v></x:c></x:row>)"
        R"(<x:row r="4"><x:c r="C4"><x:v>1</x:v></x:c><x:c><x:v>2</x:v></x:c></x:row><x:row><x:c t="b"><x:v>1</x:v></x:c></x:row>)"
        R"(</x:sheetData></x:worksheet>)";
    auto book = crafted({}, false, sheet);
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->text(1, 1), QStringLiteral("Plain"));
    EXPECT_EQ(s->text(1, 2), QStringLiteral("5"));
    EXPECT_EQ(s->text(4, 3), QStringLiteral("1"));
    EXPECT_EQ(s->text(4, 4), QStringLiteral("2"));
    EXPECT_EQ(s->value(5, 1), QVariant(true));

    // Writing into such a sheet keeps its prefix, so that the part stays one vocabulary.
    s->setValue(4, 2, QStringLiteral("between"));
    s->setLocked(4, 2, false);
    const QString path = dir.filePath(QStringLiteral("prefixed-out.xlsx"));
    ASSERT_TRUE(book->saveAs(path));
    auto again = Workbook::open(path);
    Worksheet* t = again->sheet(QStringLiteral("Sheet1"));
    EXPECT_EQ(t->text(4, 2), QStringLiteral("between"));
    EXPECT_EQ(t->text(4, 4), QStringLiteral("2"));
    EXPECT_FALSE(t->format(4, 2).locked);
    const QJsonObject o =
        PythonHelper::json(QStringLiteral("import sys, json, openpyxl\n"
                                          "ws = openpyxl.load_workbook(sys.argv[1])['Sheet1']\n"
                                          "print(json.dumps({'b4': ws['B4'].value, 'c4': ws['C4'].value}))\n"),
                           {path});
    EXPECT_EQ(o["b4"], "between");
    EXPECT_EQ(o["c4"], 1);
}

TEST_F(WorkbookRead, WorkbookWrittenByOpenpyxlIn1904)
{
    const QString path = dir.filePath(QStringLiteral("mac.xlsx"));
    PythonHelper::run(QStringLiteral(R"(
import sys, datetime, openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904
wb = openpyxl.Workbook()
wb.epoch = CALENDAR_MAC_1904
ws = wb.active
ws.title = 'Sheet1'
ws['I2'] = 12
ws['I3'] = datetime.date(2024, 3, 15)
ws['I4'] = 5.0
ws['B15'] = 'Type your Answer here'
ws.protection.sheet = True
ws.protection.password = 'wubtej'
wb.save(sys.argv[1])
)"),
                      {path});
    auto book = Workbook::open(path);
    ASSERT_NE(book, nullptr);
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    EXPECT_TRUE(book->uses1904Dates());
    EXPECT_EQ(s->text(2, 9), QStringLiteral("12"));
    EXPECT_EQ(s->dateValue(3, 9), QDate(2024, 3, 15));
    EXPECT_EQ(s->text(4, 9), QStringLiteral("5"));
    EXPECT_EQ(s->text(15, 2), QStringLiteral("Type your Answer here"));
    EXPECT_TRUE(s->isProtected());
    EXPECT_FALSE(s->unprotect(QStringLiteral("other")));
    EXPECT_TRUE(s->unprotect(QStringLiteral("wubtej")));

    // A date written into a 1904 workbook is stored in that system.
    s->setValue(3, 9, QDate(2025, 1, 2));
    ASSERT_TRUE(book->save());
    const QByteArray py =
        PythonHelper::run(QStringLiteral("import sys, openpyxl\n"
                                         "print(openpyxl.load_workbook(sys.argv[1])['Sheet1']['I3'].value.date())\n"),
                          {path});
    EXPECT_EQ(py.trimmed(), "2025-01-02");
}

TEST_F(WorkbookRead, SaltedHashProtection)
{
    // Newer writers store a salted SHA-512 hash instead of the 16-bit one.
    const QByteArray attributes = PythonHelper::run(QStringLiteral(R"(
import hashlib, base64, struct
salt = bytes(range(16))
h = hashlib.sha512(salt + 'wubtej'.encode('utf-16-le')).digest()
for i in range(100000):
    h = hashlib.sha512(h + struct.pack('<I', i)).digest()
print('algorithmName="SHA-512" hashValue="%s" saltValue="%s" spinCount="100000"' % (
    base64.b64encode(h).decode(), base64.b64encode(salt).decode()))
)"));
    const QByteArray sheet =
        R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<sheetData/><sheetProtection )" +
        attributes.trimmed() + R"( sheet="1" objects="1" scenarios="1"/></worksheet>)";
    auto book = crafted({}, false, sheet);
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    EXPECT_TRUE(s->isProtected());
    EXPECT_FALSE(s->unprotect(QStringLiteral("wubtek")));
    EXPECT_TRUE(s->isProtected());
    EXPECT_TRUE(s->unprotect(QStringLiteral("wubtej")));
    EXPECT_FALSE(s->isProtected());

    // More rounds than any spreadsheet program writes are refused at once instead of hashed for hours.
    for (const char* rounds : {"100001", "4000000000", "99999999999999999999"}) {
        QByteArray absurd = sheet;
        absurd.replace("spinCount=\"100000\"", QByteArray("spinCount=\"") + rounds + '"');
        const auto refused = crafted({}, false, absurd);
        EXPECT_FALSE(refused->sheet(QStringLiteral("Sheet1"))->unprotect(QStringLiteral("wubtej"))) << rounds;
    }
}

TEST_F(WorkbookRead, FilesThatAreNoWorkbook)
{
    QString error;
    EXPECT_EQ(Workbook::open(dir.filePath(QStringLiteral("absent.xlsx")), &error), nullptr);
    EXPECT_FALSE(error.isEmpty());

    const QString junk = dir.filePath(QStringLiteral("junk.xlsx"));
    QFile f(junk);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("PK\x03\x04 this is not really a zip file at all");
    f.close();
    error.clear();
    EXPECT_EQ(Workbook::open(junk, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());

    // A valid workbook cut short, as a broken download or mail attachment leaves it.
    const QString whole = dir.filePath(QStringLiteral("whole.xlsx"));
    auto book = Workbook::createNew();
    ASSERT_TRUE(book->saveAs(whole));
    QFile w(whole);
    ASSERT_TRUE(w.open(QIODevice::ReadOnly));
    const QByteArray bytes = w.readAll();
    const QString cut = dir.filePath(QStringLiteral("cut.xlsx"));
    QFile c(cut);
    ASSERT_TRUE(c.open(QIODevice::WriteOnly));
    c.write(bytes.left(bytes.size() / 2));
    c.close();
    error.clear();
    EXPECT_EQ(Workbook::open(cut, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());

    // A zip that holds something else.
    const QString other = dir.filePath(QStringLiteral("other.xlsx"));
    PythonHelper::writeZip(other, {{"readme.txt", "hello"}});
    error.clear();
    EXPECT_EQ(Workbook::open(other, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());

    // A worksheet part that is not XML is reported when the sheet is asked for.
    auto broken = crafted({}, false, "<worksheet><sheetData><row>");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->sheet(QStringLiteral("Sheet1")), nullptr);
    EXPECT_TRUE(broken->errorString().contains(QStringLiteral("Sheet1")));
}

TEST_F(WorkbookRead, PackageWithoutStylesGetsThemWhenFormatted)
{
    // Minimal writers leave out the styles and shared strings parts.
    const QString path = dir.filePath(QStringLiteral("bare.xlsx"));
    QByteArray types = ContentTypes;
    for (const char* part : {"styles", "sharedStrings"}) {
        const QByteArray override = QByteArray(R"(<Override PartName="/xl/)") + part + ".xml";
        const qsizetype at = types.indexOf(override);
        types.remove(at, types.indexOf("/>", at) + 2 - at);
    }
    PythonHelper::writeZip(
        path,
        {{"[Content_Types].xml", types},
         {"_rels/.rels", RootRels},
         {"xl/workbook.xml", workbookXml(false)},
         {"xl/_rels/workbook.xml.rels",
          R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
          R"(<Relationship Id="rIdA" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)"
          R"(</Relationships>)"},
         {"xl/worksheets/sheet1.xml", sheetXml(R"(<row r="1"><c r="A1"><v>1</v></c></row>)")}});
    {
        auto book = Workbook::open(path);
        ASSERT_NE(book, nullptr);
        Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
        s->setLocked(1, 1, false);
        s->setValue(2, 1, QDate(2024, 3, 15));
        ASSERT_TRUE(book->save());
    }
    const QJsonObject o = PythonHelper::json(
        QStringLiteral(
            "import sys, json, openpyxl\n"
            "ws = openpyxl.load_workbook(sys.argv[1])['Sheet1']\n"
            "print(json.dumps({'a1': [ws['A1'].value, ws['A1'].protection.locked], 'a2': str(ws['A2'].value)}))\n"),
        {path});
    EXPECT_EQ(o["a1"], (QJsonArray{1, false}));
    EXPECT_EQ(o["a2"], "2024-03-15 00:00:00");
}

TEST_F(WorkbookRead, MissingSheet1IsReported)
{
    const QString path = dir.filePath(QStringLiteral("renamed.xlsx"));
    PythonHelper::run(QStringLiteral("import sys, openpyxl\n"
                                     "wb = openpyxl.Workbook()\n"
                                     "wb.active.title = 'Answers'\n"
                                     "wb.save(sys.argv[1])\n"),
                      {path});
    auto book = Workbook::open(path);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->sheetNames(), QStringList{QStringLiteral("Answers")});
    EXPECT_EQ(book->sheet(QStringLiteral("Sheet1")), nullptr);
    EXPECT_TRUE(book->errorString().contains(QStringLiteral("\"Sheet1\"")));
}

TEST_F(WorkbookRead, AddressesBeyondTheLastColumnOrRowAreNoCells)
{
    // Letters past XFD once overflowed and "MWLQKXE200" came out as I200, replacing the real cell.
    auto book = crafted(R"(<row r="200"><c r="MWLQKXE200"><v>3</v></c><c r="I200"><v>5</v></c>)"
                        R"(<c r="XFE200"><v>4</v></c><c r="XFD200"><v>6</v></c><c><v>8</v></c></row>)"
                        R"(<row r="1048576"><c r="I1048576"><v>1</v></c></row>)"
                        R"(<row><c r="I1"><v>2</v></c></row><row r="99999999999"><c r="A1"><v>9</v></c></row>)");
    ASSERT_NE(book, nullptr);
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->value(200, 9), QVariant(qint64(5)));
    EXPECT_EQ(s->value(200, Worksheet::MaxColumns), QVariant(qint64(6)));
    EXPECT_EQ(s->value(Worksheet::MaxRows, 9), QVariant(qint64(1)));
    // Nothing past the edges landed anywhere else.
    for (int column : {1, 2, 3, 4, 10, 23, 26})
        EXPECT_FALSE(s->value(200, column).isValid()) << column;
    EXPECT_FALSE(s->value(1, 9).isValid());
    EXPECT_FALSE(s->value(1, 1).isValid());
}

TEST_F(WorkbookRead, EscapedNulIsDroppedAndLoneSurrogatesAreReplaced)
{
    const QByteArray strings = R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
                               "<si><t>before_x0000_after \xF0\x9F\x98\x80 "
                               "tab\tend</t></si><si><t>a_xD83D_b_xD83D__xDE00_c_x0009_</t></si></sst>";
    auto book = crafted(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c>)"
                        R"(<c r="C1" t="inlineStr"><is><t>x_x0000_y</t></is></c></row>)",
                        false, {}, strings);
    ASSERT_NE(book, nullptr);
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->text(1, 1), QString::fromUtf8("beforeafter \xF0\x9F\x98\x80 tab\tend"));
    EXPECT_EQ(s->text(1, 2), QString::fromUtf8("a\xEF\xBF\xBD"
                                               "b\xF0\x9F\x98\x80"
                                               "c\t"));
    EXPECT_EQ(s->text(1, 3), QStringLiteral("xy"));
}

TEST_F(WorkbookRead, CraftedPartsAreReadWithinBoundedMemory)
{
    // A huge table of shared strings: only the entries the cells use are kept, and they are the right ones.
    QByteArray strings = R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";
    for (int i = 0; i < 200000; ++i)
        strings += "<si><t>s" + QByteArray::number(i) + "</t></si>";
    strings += "</sst>";
    auto many = crafted(R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>199999</v></c>)"
                        R"(<c r="C1" t="s"><v>123456</v></c><c r="D1" t="s"><v>200000</v></c></row>)",
                        false, {}, strings);
    ASSERT_NE(many, nullptr);
    Worksheet* s = many->sheet(QStringLiteral("Sheet1"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->text(1, 1), QStringLiteral("s0"));
    EXPECT_EQ(s->text(1, 2), QStringLiteral("s199999"));
    EXPECT_EQ(s->text(1, 3), QStringLiteral("s123456"));
    EXPECT_EQ(s->text(1, 4), QString());

    // Half a million tags would take hundreds of megabytes as a tree; 9 MB of text is more than any part holds.
    auto tags = crafted({}, false, sheetXml("<row>" + QByteArray("<c/>").repeated(500000) + "</row>"));
    ASSERT_NE(tags, nullptr);
    EXPECT_EQ(tags->sheet(QStringLiteral("Sheet1")), nullptr);
    EXPECT_TRUE(tags->errorString().contains(QStringLiteral("more than a workbook can")))
        << tags->errorString().toStdString();
    auto large = crafted({}, false, sheetXml(QByteArray(9 * 1024 * 1024, ' ')));
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(large->sheet(QStringLiteral("Sheet1")), nullptr);
    EXPECT_TRUE(large->errorString().contains(QStringLiteral("inflates"))) << large->errorString().toStdString();
}
