// The exported workbook as LibreOffice prints it: every text whole, the sheet one page wide.

#include "ExportFixture.h"

#include "platform/dialogs/MsgBox.h"
#include "shell/gblGlobal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace
{

using PrintedWorkbookTest = ExportFixture;

TEST_F(PrintedWorkbookTest, LongTextsPrintWholeOnOneLandscapePageWidth)
{
    gCompanyName = QStringLiteral("Harbour and Northwind Precision Instrument Manufacturing Ltd");
    QString question;
    while (question.size() < 449)
        question += QStringLiteral("How well did our field engineers explain the calibration results to you? ");
    question = question.left(449) + u'?';
    const QString parameter = QStringLiteral("After-sales service and technical support of installed equipment");
    const int p = addParameter(parameter);
    addToSurvey(m_respid, m_surveyid,
                {addQuestion(p, question, true), addQuestion(p, question.left(300), false),
                 addQuestion(addParameter(QStringLiteral("Billing")), QStringLiteral("Were invoices right?"), true)});
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey());

    QTemporaryDir out;
    const QString pdf = convertWithLibreOffice(workbook(m_lastFileName), QStringLiteral("pdf"), out.path());
    if (pdf.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    // To look at the page: QUORVANE_KEEP_PRINTED=<folder>.
    if (const QString keep = qEnvironmentVariable("QUORVANE_KEEP_PRINTED"); !keep.isEmpty())
        QFile::copy(pdf, QDir(keep).filePath(QFileInfo(pdf).fileName()));

    const QString info = QString::fromUtf8(output(QStringLiteral("pdfinfo"), {pdf}));
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+))")).match(info);
    ASSERT_TRUE(size.hasMatch()) << info.toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()) << "landscape";
    // The survey fits one page; a sheet wider than the page would go on beside it on a second one.
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral(R"(Pages:\s+1\n)")))) << info.toStdString();

    // Cell by cell in the order LibreOffice draws them: a row too low for its text loses lines.
    const QString text =
        QString::fromUtf8(output(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}))
            .simplified();
    for (const QString& whole : {gCompanyName, question, question.left(300), parameter,
                                 QStringLiteral("Please give a Score and a Weightage to each question in the white "
                                                "boxes, and type your answer in the box below each question that "
                                                "asks for one."),
                                 QStringLiteral("Weightage: how important the point is to you. Previous Score and "
                                                "Previous Weightage show your answers to the last survey."),
                                 QStringLiteral("Previous Weightage"), QStringLiteral("Type your Answer here")})
        EXPECT_TRUE(text.contains(whole.simplified())) << whole.toStdString() << "\nnot whole in:\n"
                                                       << text.toStdString();
}

} // namespace
