#include "PythonHelper.h"

#include "platform/workbook/Workbook.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace
{

// What openpyxl sees of the named cells of Sheet1, and of the sheet's protection.
const char* const ReadCells = R"(
import sys, json, openpyxl
from openpyxl.worksheet.protection import hash_password
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb['Sheet1']
def rgb(color):
    return color.rgb if color is not None and color.type == 'rgb' else None
def cell(a):
    c = ws[a]
    v = c.value
    b = c.border
    return {'value': v.isoformat() if hasattr(v, 'isoformat') else v, 'type': type(v).__name__,
            'locked': c.protection.locked, 'wrap': bool(c.alignment.wrap_text), 'bold': bool(c.font.b),
            'size': c.font.sz, 'font': rgb(c.font.color),
            'border': [[s.style, rgb(s.color)] for s in (b.left, b.right, b.top, b.bottom)]}
out = {a: cell(a) for a in sys.argv[2:]}
out['protected'] = ws.protection.sheet
out['password'] = ws.protection.password
out['expected'] = hash_password('wubtej')
out['styles'] = len(wb._cell_styles)
print(json.dumps(out))
)";

QJsonArray thinBorder(const char* rgb)
{
    const QJsonArray side{QStringLiteral("thin"), QString::fromLatin1(rgb)};
    return QJsonArray{side, side, side, side};
}

class WorkbookWrite : public ::testing::Test
{
protected:
    QString file(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

// The header and one block of each kind, as the survey export writes them.
void writeSurvey(Worksheet* s)
{
    s->setLocked(1, 1, false);
    s->setValue(1, 1, QStringLiteral("Pellorin Industries Ltd"));
    s->setWrapText(1, 1, true);
    s->setLocked(1, 1, true);
    s->setValue(1, 8, QDate(2024, 3, 15));
    s->setValue(1, 9, 7);
    s->setValue(2, 9, QStringLiteral("12"));
    s->setValue(3, 9, QDate(2023, 12, 31));
    s->setValue(4, 9, qint64(2));
    s->setValue(5, 9, 2.5);
    s->setValue(8, 2, QStringLiteral("Customer Name : "));

    for (int column = 3; column <= 6; ++column)
        s->setBorderAround(14, column, 1);
    s->setBorderAround(14, 2, 3);
    s->setValue(14, 1, QStringLiteral("Billing"));
    s->setValue(14, 2, QStringLiteral("Were invoices correct?"));
    s->setWrapText(14, 2, true);
    s->setLocked(14, 3, false);
    s->setLocked(14, 4, false);

    s->setBorderAround(16, 2, 25);
    s->setValue(17, 2, QStringLiteral("Type your Answer here"));
    s->setFontColorIndex(17, 2, 25);
    s->setBorderAround(17, 2, 32);
    s->setLocked(17, 2, false);
}

// The C library's locale as a program started on a German desktop has it (Qt sets it from the environment).
class GermanCLocale
{
public:
    GermanCLocale() : m_old(std::setlocale(LC_ALL, nullptr)) { ok = std::setlocale(LC_ALL, "de_DE.UTF-8"); }
    ~GermanCLocale() { std::setlocale(LC_ALL, m_old.c_str()); }
    bool ok = false;

private:
    std::string m_old;
};

} // namespace

TEST_F(WorkbookWrite, ValuesFormatsAndProtectionAsAnotherReaderSeesThem)
{
    auto book = Workbook::createNew();
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    ASSERT_NE(s, nullptr);
    writeSurvey(s);
    s->setValue(6, 9, true);
    s->protect(QStringLiteral("wubtej"));
    ASSERT_TRUE(book->saveAs(file(QStringLiteral("survey.xlsx")))) << book->errorString().toStdString();

    const QJsonObject o = PythonHelper::json(
        QString::fromLatin1(ReadCells), {file(QStringLiteral("survey.xlsx")), "A1", "H1", "I1", "I2", "I3", "I4", "I5",
                                         "I6", "B8", "A14", "B14", "C14", "D14", "E14", "B16", "B17", "B18"});
    EXPECT_EQ(o["A1"]["value"], "Pellorin Industries Ltd");
    EXPECT_TRUE(o["A1"]["wrap"].toBool());
    EXPECT_TRUE(o["A1"]["locked"].toBool());
    EXPECT_EQ(o["H1"]["value"], "2024-03-15T00:00:00");
    EXPECT_EQ(o["I3"]["value"], "2023-12-31T00:00:00");
    EXPECT_EQ(o["I1"]["type"], "int");
    EXPECT_EQ(o["I1"]["value"], 7);
    EXPECT_EQ(o["I2"]["value"], "12");
    EXPECT_EQ(o["I4"]["value"], 2);
    EXPECT_EQ(o["I5"]["value"], 2.5);
    EXPECT_EQ(o["I6"]["value"], true);
    EXPECT_EQ(o["B8"]["value"], "Customer Name : ");

    EXPECT_EQ(o["B14"]["border"], thinBorder("FFFF0000"));
    EXPECT_EQ(o["C14"]["border"], thinBorder("FF000000"));
    EXPECT_EQ(o["B16"]["border"], thinBorder("FF000080"));
    EXPECT_EQ(o["B17"]["border"], thinBorder("FF0000FF"));
    EXPECT_EQ(o["B17"]["font"], "FF000080");
    EXPECT_TRUE(o["B14"]["wrap"].toBool());
    EXPECT_FALSE(o["C14"]["locked"].toBool());
    EXPECT_FALSE(o["D14"]["locked"].toBool());
    EXPECT_TRUE(o["E14"]["locked"].toBool());
    EXPECT_FALSE(o["B17"]["locked"].toBool());
    EXPECT_TRUE(o["A14"]["locked"].toBool());
    EXPECT_TRUE(o["B18"]["locked"].toBool());
    EXPECT_EQ(o["B18"]["border"].toArray().first().toArray().first(), QJsonValue());

    EXPECT_TRUE(o["protected"].toBool());
    EXPECT_EQ(o["password"], o["expected"]);
}

TEST_F(WorkbookWrite, OwnReadBackAndPassword)
{
    const QString path = file(QStringLiteral("survey.xlsx"));
    {
        auto book = Workbook::createNew();
        writeSurvey(book->sheet(QStringLiteral("Sheet1")));
        book->sheet(QStringLiteral("Sheet1"))->protect(QStringLiteral("wubtej"));
        ASSERT_TRUE(book->saveAs(path));
    }
    QString error;
    auto book = Workbook::open(path, &error);
    ASSERT_NE(book, nullptr) << error.toStdString();
    Worksheet* s = book->sheet(QStringLiteral("sheet1"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->value(3, 9), QVariant(QDate(2023, 12, 31)));
    EXPECT_EQ(s->dateValue(3, 9), QDate(2023, 12, 31));
    EXPECT_EQ(s->text(2, 9), QStringLiteral("12"));
    EXPECT_EQ(s->text(4, 9), QStringLiteral("2"));
    EXPECT_EQ(s->text(5, 9), QStringLiteral("2.5"));
    EXPECT_EQ(s->text(15, 9), QString());
    EXPECT_FALSE(s->value(15, 9).isValid());

    const CellFormat answer = s->format(17, 2);
    EXPECT_FALSE(answer.locked);
    EXPECT_EQ(answer.fontColor, QStringLiteral("FF000080"));
    EXPECT_EQ(answer.borderColor, QStringLiteral("FF0000FF"));
    EXPECT_TRUE(s->format(14, 5).locked);
    EXPECT_FALSE(s->format(14, 7).bordered);

    EXPECT_TRUE(s->isProtected());
    EXPECT_FALSE(s->unprotect(QStringLiteral("Wubtej")));
    EXPECT_TRUE(s->isProtected());
    EXPECT_TRUE(s->unprotect(QStringLiteral("wubtej")));
    EXPECT_FALSE(s->isProtected());
}

TEST_F(WorkbookWrite, PaletteMatchesTheStandardIndexedColours)
{
    const QJsonObject o = PythonHelper::json(QStringLiteral("import json\n"
                                                            "from openpyxl.styles.colors import COLOR_INDEX\n"
                                                            "print(json.dumps({'c': COLOR_INDEX[8:64]}))\n"));
    const QJsonArray colors = o["c"].toArray();
    ASSERT_EQ(colors.size(), 56);
    for (int i = 1; i <= 56; ++i)
        EXPECT_EQ(WorkbookStyles::paletteColor(i), QLatin1String("FF") + colors[i - 1].toString().right(6))
            << "colour index " << i;
    EXPECT_EQ(WorkbookStyles::paletteColor(0), QString());
    EXPECT_EQ(WorkbookStyles::paletteColor(57), QString());
}

TEST_F(WorkbookWrite, ThousandRowsShareFewFormatsAndStaySmall)
{
    auto book = Workbook::createNew();
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    QElapsedTimer timer;
    timer.start();
    for (int r = 14; r < 1014; ++r) {
        for (int column = 1; column <= 6; ++column) {
            s->setBorderAround(r, column, column == 2 ? 3 : 1);
            s->setLocked(r, column, column < 3 || column > 4);
        }
        s->setValue(r, 2, QStringLiteral("Question %1").arg(r));
        s->setWrapText(r, 2, true);
        s->setValue(r, 9, r * 10);
    }
    const QString path = file(QStringLiteral("big.xlsx"));
    ASSERT_TRUE(book->saveAs(path));
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_LT(QFileInfo(path).size(), 200 * 1024);

    const QJsonObject o = PythonHelper::json(QString::fromLatin1(ReadCells), {path, "B500", "C500", "I1013"});
    EXPECT_LE(o["styles"].toInt(), 8);
    EXPECT_EQ(o["B500"]["value"], "Question 500");
    EXPECT_FALSE(o["C500"]["locked"].toBool());
    EXPECT_EQ(o["I1013"]["value"], 10130);
}

TEST_F(WorkbookWrite, RefillInPlaceClearsTheQuestionAreaAndKeepsTheRest)
{
    // A workbook from another writer, with parts this layer never touches.
    const QString path = file(QStringLiteral("refill.xlsx"));
    PythonHelper::run(QStringLiteral(R"(
import sys, openpyxl
from openpyxl.styles import Border, Side, Protection, Font
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Sheet1'
ws['B1'] = 'Caption'
ws['B1'].font = Font(b=True, sz=14)
ws.column_dimensions['B'].width = 40
ws.row_dimensions[20].height = 30
for r in range(14, 40):
    for col in 'ABCDEFGHI':
        c = ws[col + str(r)]
        c.value = r
        c.border = Border(left=Side('thin'), right=Side('thin'), top=Side('thin'), bottom=Side('thin'))
        c.protection = Protection(locked=False)
other = wb.create_sheet('Other')
other['A1'] = 'keep me'
wb.properties.title = 'Survey'
wb.save(sys.argv[1])
)"),
                      {path});
    const QByteArray otherBefore = PythonHelper::zipPart(path, QStringLiteral("xl/worksheets/sheet2.xml"));
    const QByteArray coreBefore = PythonHelper::zipPart(path, QStringLiteral("docProps/core.xml"));
    ASSERT_FALSE(otherBefore.isEmpty());

    {
        auto book = Workbook::open(path);
        ASSERT_NE(book, nullptr);
        Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
        s->clearRange(14, 1, Worksheet::MaxRows, 7);
        s->clearRange(14, 9, Worksheet::MaxRows, 9);
        s->setValue(14, 9, 501);
        s->setLocked(14, 3, false);
        EXPECT_EQ(s->rowHeight(20), 30); // set by hand, so it stays
        ASSERT_TRUE(book->save()) << book->errorString().toStdString();
    }

    const QJsonObject o = PythonHelper::json(QString::fromLatin1(ReadCells),
                                             {path, "B1", "A14", "G20", "H20", "I14", "I15", "C14", "A39"});
    EXPECT_EQ(o["B1"]["value"], "Caption");
    EXPECT_TRUE(o["B1"]["bold"].toBool());
    EXPECT_EQ(o["B1"]["size"], 14);
    EXPECT_EQ(o["A14"]["value"], QJsonValue());
    EXPECT_TRUE(o["A14"]["locked"].toBool());
    EXPECT_EQ(o["A14"]["border"].toArray().first().toArray().first(), QJsonValue());
    EXPECT_EQ(o["A39"]["value"], QJsonValue());
    EXPECT_EQ(o["G20"]["value"], QJsonValue());
    EXPECT_EQ(o["H20"]["value"], 20); // column H is outside both ranges
    EXPECT_FALSE(o["H20"]["locked"].toBool());
    EXPECT_EQ(o["I14"]["value"], 501);
    EXPECT_EQ(o["I15"]["value"], QJsonValue());
    EXPECT_FALSE(o["C14"]["locked"].toBool());

    EXPECT_EQ(PythonHelper::zipPart(path, QStringLiteral("xl/worksheets/sheet2.xml")), otherBefore);
    EXPECT_EQ(PythonHelper::zipPart(path, QStringLiteral("docProps/core.xml")), coreBefore);
    const QJsonObject other = PythonHelper::json(
        QStringLiteral(
            "import sys, json, openpyxl\n"
            "wb = openpyxl.load_workbook(sys.argv[1])\n"
            "print(json.dumps({'v': wb['Other']['A1'].value, 'w': wb['Sheet1'].column_dimensions['B'].width}))\n"),
        {path});
    EXPECT_EQ(other["v"], "keep me");
    EXPECT_EQ(other["w"], 40);
}

TEST_F(WorkbookWrite, TemplateColumnsAndFonts)
{
    const QString path = file(QStringLiteral("template.xlsx"));
    {
        auto book = Workbook::createNew();
        Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
        s->setColumnWidth(2, 45.5);
        s->setColumnWidth(1, 20);
        s->setColumnHidden(9, true);
        s->setValue(3, 2, QStringLiteral("Pellorin Survey"));
        s->setFontBold(3, 2, true);
        s->setFontSize(3, 2, 16);
        s->setValue(12, 3, QStringLiteral("Score"));
        s->setFontBold(12, 3, true);
        ASSERT_TRUE(book->saveAs(path));
    }
    // A range of columns split by one column that differs.
    {
        auto book = Workbook::open(path);
        Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
        s->setColumnWidth(4, 12);
        for (int c = 5; c <= 8; ++c)
            s->setColumnWidth(c, 12);
        s->setColumnHidden(6, true);
        ASSERT_TRUE(book->save());
        EXPECT_DOUBLE_EQ(s->columnWidth(2), 45.5);
        EXPECT_TRUE(s->isColumnHidden(9));
        EXPECT_FALSE(s->isColumnHidden(8));
    }
    const QJsonObject o = PythonHelper::json(
        QStringLiteral("import sys, json, openpyxl\n"
                       "ws = openpyxl.load_workbook(sys.argv[1])['Sheet1']\n"
                       "d = ws.column_dimensions\n"
                       "print(json.dumps({'A': d['A'].width, 'B': d['B'].width, 'E': d['E'].width, 'G': d['G'].width,\n"
                       "  'hidden': [c for c in 'ABCDEFGHI' if d[c].hidden],\n"
                       "  'b3': [ws['B3'].value, ws['B3'].font.b, ws['B3'].font.sz], 'c12': ws['C12'].font.b}))\n"),
        {path});
    EXPECT_EQ(o["A"], 20);
    EXPECT_EQ(o["B"], 45.5);
    EXPECT_EQ(o["E"], 12);
    EXPECT_EQ(o["G"], 12);
    EXPECT_EQ(o["hidden"], (QJsonArray{"F", "I"}));
    EXPECT_EQ(o["b3"], (QJsonArray{"Pellorin Survey", true, 16}));
    EXPECT_TRUE(o["c12"].toBool());
}

TEST_F(WorkbookWrite, TextThatXmlCannotHoldAsItIs)
{
    // Carriage returns travel escaped, and text that looks like an escape is escaped itself.
    const QString escaped = QStringLiteral("one\r\ntwo _x0041_ \x01");
    const QString plain = QStringLiteral("  line one\nline two\ttab \u00e9\u2019 <&> ");
    const QString path = file(QStringLiteral("text.xlsx"));
    {
        auto book = Workbook::createNew();
        book->sheet(QStringLiteral("Sheet1"))->setValue(1, 1, escaped);
        book->sheet(QStringLiteral("Sheet1"))->setValue(2, 1, plain);
        ASSERT_TRUE(book->saveAs(path));
    }
    auto book = Workbook::open(path);
    EXPECT_EQ(book->sheet(QStringLiteral("Sheet1"))->value(1, 1), QVariant(escaped));
    EXPECT_EQ(book->sheet(QStringLiteral("Sheet1"))->value(2, 1), QVariant(plain));
    const QByteArray py = PythonHelper::run(
        QStringLiteral("import sys, openpyxl\n"
                       "sys.stdout.buffer.write(openpyxl.load_workbook(sys.argv[1])['Sheet1']['A2'].value.encode())\n"),
        {path});
    EXPECT_EQ(QString::fromUtf8(py), plain);
}

TEST_F(WorkbookWrite, RowsFitTheirTextAndTheSheetPrintsOnePageWide)
{
    auto book = Workbook::createNew();
    book->setDefaultFont(QStringLiteral("Arial"), 10);
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    s->setColumnWidth(2, 30);
    const auto fitted = [s](int row, const QString& text, bool wrap = true) {
        s->setValue(row, 2, text);
        s->setWrapText(row, 2, wrap);
        s->autoFitRow(row);
        return s->rowHeight(row);
    };
    const QString sentence = QStringLiteral("Were the invoices clear and correct? ");
    EXPECT_EQ(fitted(1, QStringLiteral("Short")), 0); // the default height
    const double shorter = fitted(2, sentence.repeated(2));
    const double longer = fitted(3, sentence.repeated(6));
    EXPECT_GT(shorter, 15);
    EXPECT_GT(longer, 2 * shorter);
    EXPECT_DOUBLE_EQ(fitted(4, QStringLiteral("a\nb\nc\nd")), 2 * fitted(5, QStringLiteral("a\r\nb")));
    EXPECT_EQ(fitted(6, sentence.repeated(300)), 409.5); // the most a row can be
    EXPECT_EQ(fitted(7, sentence.repeated(6), false), 0);
    s->setFontSize(8, 2, 16);
    EXPECT_GT(fitted(8, QStringLiteral("Heading"), false), 15);
    // A fitted height leaves with its text.
    s->clearRange(3, 1, 3, 7);
    EXPECT_EQ(s->rowHeight(3), 0);

    s->setPageSetup({.landscape = true, .fitToPagesWide = 1, .fitToPagesTall = 0, .paperSize = 9});
    const QString path = file(QStringLiteral("fit.xlsx"));
    ASSERT_TRUE(book->saveAs(path));
    const QJsonObject o =
        PythonHelper::json(QStringLiteral("import sys, json, openpyxl\n"
                                          "ws = openpyxl.load_workbook(sys.argv[1])['Sheet1']\n"
                                          "p = ws.page_setup\n"
                                          "print(json.dumps({'h': [ws.row_dimensions[r].height for r in (2, 3, 6)],\n"
                                          "  'font': ws['B2'].font.name,\n"
                                          "  'page': [p.orientation, p.fitToWidth, p.fitToHeight, p.paperSize,\n"
                                          "           ws.sheet_properties.pageSetUpPr.fitToPage]}))\n"),
                           {path});
    EXPECT_EQ(o["h"], (QJsonArray{shorter, QJsonValue(), 409.5}));
    EXPECT_EQ(o["font"], "Arial");
    EXPECT_EQ(o["page"], (QJsonArray{"landscape", 1, 0, 9, true}));
}

TEST_F(WorkbookWrite, NumbersInThePartsIgnoreTheLocale)
{
    GermanCLocale german;
    ASSERT_TRUE(german.ok) << "the de_DE.UTF-8 locale is missing (scripts/setup makes it)";
    ASSERT_EQ(*std::localeconv()->decimal_point, ',');

    auto book = Workbook::createNew();
    book->setDefaultFont(QStringLiteral("Arial"), 10.5);
    Worksheet* s = book->sheet(QStringLiteral("Sheet1"));
    s->setColumnWidth(2, 30.25);
    s->setValue(1, 2, 2.5);
    s->setValue(2, 2, QStringLiteral("Were the invoices clear and correct? ").repeated(4));
    s->setWrapText(2, 2, true);
    s->autoFitRow(2);
    const double height = s->rowHeight(2);
    ASSERT_GT(height, 15);
    const QString path = file(QStringLiteral("german.xlsx"));
    ASSERT_TRUE(book->saveAs(path)) << book->errorString().toStdString();

    const QByteArray sheetXml = PythonHelper::zipPart(path, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QByteArray stylesXml = PythonHelper::zipPart(path, QStringLiteral("xl/styles.xml"));
    EXPECT_TRUE(sheetXml.contains("width=\"30.25\"")) << sheetXml.constData();
    EXPECT_TRUE(sheetXml.contains("<v>2.5</v>"));
    EXPECT_TRUE(stylesXml.contains("val=\"10.5\""));
    const QRegularExpression commaNumber(QStringLiteral("\"-?[0-9]+,[0-9]+\""));
    EXPECT_FALSE(QString::fromUtf8(sheetXml).contains(commaNumber)) << sheetXml.constData();
    EXPECT_FALSE(QString::fromUtf8(stylesXml).contains(commaNumber));

    const QJsonObject o =
        PythonHelper::json(QStringLiteral("import sys, json, openpyxl\n"
                                          "ws = openpyxl.load_workbook(sys.argv[1])['Sheet1']\n"
                                          "print(json.dumps({'v': [ws.column_dimensions['B'].width,\n"
                                          "  ws.row_dimensions[2].height, ws['B1'].value, ws['B1'].font.sz]}))\n"),
                           {path});
    EXPECT_EQ(o["v"], (QJsonArray{30.25, height, 2.5, 10.5}));

    auto again = Workbook::open(path);
    ASSERT_TRUE(again) << path.toStdString();
    Worksheet* r = again->sheet(QStringLiteral("Sheet1"));
    EXPECT_EQ(r->columnWidth(2), 30.25);
    EXPECT_EQ(r->rowHeight(2), height);
    EXPECT_EQ(r->value(1, 2), QVariant(2.5));
    EXPECT_EQ(r->format(1, 2).fontSize, 10.5);
}
