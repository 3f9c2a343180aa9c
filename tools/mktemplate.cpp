// Writes the survey workbook template: quorvane_mktemplate <path of template.xlsx>
// The export fills in the header cells and the question blocks from row 14; everything else a respondent
// sees (captions, widths, fonts, the hidden id column) comes from here.

#include "platform/workbook/Workbook.h"
#include "shell/gblGlobal.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

namespace
{

void caption(Worksheet& sheet, int row, int column, const QString& text, bool bold = true)
{
    sheet.setValue(row, column, text);
    sheet.setFontBold(row, column, bold);
    sheet.setWrapText(row, column, true);
}

} // namespace

int main(int argc, char** argv)
{
    // Row heights are measured with the fonts, which need a window system, if only an invisible one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvane_mktemplate <template.xlsx>\n");
        return 2;
    }
    std::unique_ptr<Workbook> book = Workbook::createNew();
    // Arial and its metric twin Liberation Sans lay text out alike, so rows fitted here fit in either program.
    book->setDefaultFont(QStringLiteral("Arial"), 10);
    Worksheet& sheet = *book->sheet(QStringLiteral("Sheet1"));

    const double widths[] = {22, 60, 10, 12, 15, 19, 3, 12, 8};
    for (int c = 1; c <= 9; ++c)
        sheet.setColumnWidth(c, widths[c - 1]);
    // Column I carries the ids the program reads back; respondents have no use for it.
    sheet.setColumnHidden(9, true);

    sheet.setFontBold(1, 1, true);
    sheet.setFontSize(1, 1, 14);
    sheet.setFontBold(3, 2, true);
    sheet.setFontSize(3, 2, 16);
    sheet.setFontBold(8, 2, true);
    sheet.setFontBold(9, 2, true);
    caption(sheet, 5, 2,
            QStringLiteral("Please give a Score and a Weightage to each question in the white boxes, and type your "
                           "answer in the box below each question that asks for one."),
            false);
    caption(sheet, 6, 2,
            QStringLiteral("Weightage: how important the point is to you. Previous Score and Previous Weightage "
                           "show your answers to the last survey."),
            false);

    caption(sheet, 12, 1, QStringLiteral("Parameter"));
    caption(sheet, 12, 2, QStringLiteral("Question"));
    caption(sheet, 12, 3, QStringLiteral("Score"));
    caption(sheet, 12, 4, QStringLiteral("Weightage"));
    caption(sheet, 12, 5, QStringLiteral("Previous Score"));
    caption(sheet, 12, 6, QStringLiteral("Previous Weightage"));
    for (int c = 1; c <= 6; ++c)
        sheet.setBorderAround(12, c, 1);
    for (int row : {5, 6, 12})
        sheet.autoFitRow(row);
    // The sheet is too wide for a portrait page: landscape A4, one page wide, as many pages tall as it takes.
    sheet.setPageSetup({.landscape = true, .fitToPagesWide = 1, .fitToPagesTall = 0, .paperSize = 9});

    sheet.protect(QString::fromLatin1(kDatabasePassword));
    if (!book->saveAs(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(book->errorString()));
        return 1;
    }
    return 0;
}
