// The exported workbook as LibreOffice prints it: every text whole, the sheet one page wide.

#include "ExportFixture.h"

#include "platform/dialogs/MsgBox.h"
#include "shell/gblGlobal.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace
{

QString output(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(180000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString words(const QString& text)
{
    return text.simplified();
}

class PrintedWorkbookTest : public ExportFixture
{
protected:
    // LibreOffice's PDF of the workbook, in a folder of its own; "" when LibreOffice is not installed.
    QString printToPdf(const QString& path)
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            return QString();
        QTemporaryDir profile;
        output(soffice,
               {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + profile.path(),
                QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"), m_out.path(), path});
        const QString pdf = m_out.filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".pdf"));
        EXPECT_TRUE(QFileInfo::exists(pdf));
        return pdf;
    }

    QTemporaryDir m_out;
};

TEST_F(PrintedWorkbookTest, LongTextsPrintWholeOnOneLandscapePageWidth)
{
    gCompanyName = QStringLiteral("Harbour and Northwind Precision Instrument Manufacturing Ltd");
    ASSERT_EQ(gCompanyName.size(), 60);
    QString question;
    while (question.size() < 440)
        question += QStringLiteral("How well did our field engineers explain the calibration results to you? ");
    question = question.left(449) + u'?';
    const QString parameter = QStringLiteral("After-sales service and technical support of installed equipment");
    const int p = addParameter(parameter);
    const int other = addParameter(QStringLiteral("Billing"));
    addToSurvey(m_respid, m_surveyid,
                {addQuestion(p, question, true), addQuestion(p, question.left(300), false),
                 addQuestion(other, QStringLiteral("Were invoices right?"), true)});
    MsgBox::setNextAnswer(MsgBox::No);
    ASSERT_TRUE(exportSurvey());

    const QString pdf = printToPdf(workbook(m_lastFileName));
    if (pdf.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    // To look at the page and the sheet: QUORVANE_KEEP_PRINTED=<folder>.
    const QString keep = qEnvironmentVariable("QUORVANE_KEEP_PRINTED");
    for (const QString& file : {pdf, workbook(m_lastFileName)})
        if (!keep.isEmpty())
            QFile::copy(file, QDir(keep).filePath(QFileInfo(file).fileName()));

    const QString info = output(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral(R"(Page size:\s+([\d.]+) x ([\d.]+))")).match(info);
    ASSERT_TRUE(size.hasMatch()) << info.toStdString();
    EXPECT_GT(size.captured(1).toDouble(), size.captured(2).toDouble()) << "landscape";
    // The whole survey fits one page here; a sheet wider than the page would print a second one beside it.
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral(R"(Pages:\s+1\n)")))) << info.toStdString();

    // Cell by cell in the order LibreOffice draws them: a row too low for its text loses lines.
    const QString text = words(output(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")}));
    for (const QString& whole : {gCompanyName, question, question.left(300), parameter,
                                 QStringLiteral("Please give a Score and a Weightage to each question in the white "
                                                "boxes, and type your answer in the box below each question that "
                                                "asks for one."),
                                 QStringLiteral("Weightage: how important the point is to you. Previous Score and "
                                                "Previous Weightage show your answers to the last survey."),
                                 QStringLiteral("Previous Weightage"), QStringLiteral("Type your Answer here")})
        EXPECT_TRUE(text.contains(words(whole))) << whole.toStdString() << "\nnot whole in:\n" << text.toStdString();
}

} // namespace
