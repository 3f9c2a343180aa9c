// One survey's road through the program, as a user walks it, on a fresh program folder: master data, a survey
// exported, filled in by other programs, read back, viewed, acted on, searched and reported.

#include "analysis/frmDateToDate.h"
#include "analysis/frmDtoDActionPlan.h"
#include "analysis/frmDtoDSatisfactionOverview.h"
#include "analysis/frmImprovementPlan.h"
#include "analysis/frmPerformanceMatrix.h"
#include "analysis/frmSatisfactionIndex.h"
#include "analysis/frmSearch.h"
#include "feedback/frmFeedBackObj.h"
#include "feedback/frmReading.h"
#include "masterdata/frmCustomer.h"
#include "masterdata/frmParameter.h"
#include "support/ProgramFixture.h"
#include "support/ShownNumber.h"
#include "surveys/ParameterTree.h"
#include "surveys/SurveyWindows.h"
#include "surveys/frmLogDetails.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStandardPaths>
#include <QToolBar>

namespace
{

class Road : public ProgramFixture
{
protected:
    const QDate today{2024, 3, 15};

    void SetUp() override
    {
        ProgramFixture::SetUp();
        Desktop::setToday(today);
    }

    // Types the text into the editor and moves on with Return.
    static void enter(QWidget* editor, const QString& text, int returns = 1)
    {
        QTest::keyClicks(editor, text);
        press(editor, Qt::Key_Return, returns);
    }
    static void execute(const QString& program, const QStringList& arguments)
    {
        QProcess p;
        p.start(program, arguments);
        const bool finished = p.waitForFinished(90000);
        EXPECT_TRUE(finished && p.exitCode() == 0) << program.toStdString() << p.readAllStandardError().toStdString();
    }
    // The report just run from that definition, as pdftotext reads it.
    static QString report(const char* fileName)
    {
        const bool ran = !ReportControl::runs().isEmpty() &&
                         QFileInfo(ReportControl::runs().last().reportFileName).fileName() == QLatin1String(fileName);
        EXPECT_TRUE(ran) << fileName;
        return ran ? reportText() : QString();
    }
};

} // namespace

TEST_F(Road, OneSurveyFromMasterDataToEveryReport)
{
    const QString scored = "How quickly do we answer your calls?";
    const QString written = "What should we change?";

    // A customer with a respondent.
    auto* customers = open<frmCustomer>(main()->mnuCusAndResp);
    enter(customers->txtCustomerDtls, "Northwind Traders", 4);
    clickCell(customers->grdCustomerDtls, 1, 1);
    clickCell(customers->grdRespondentDtls, 1, 1);
    enter(customers->txtRespondentDtls, "Ann Carter");
    enter(customers->txtRespondentDtls, "Buyer");
    enter(customers->txtRespondentDtls, "ann@example.com");
    ASSERT_EQ(value(QStringLiteral("select count(*) from custresp where custname='Northwind Traders' and "
                                   "respondentname='Ann Carter'"))
                  .toInt(),
              1);

    // A parameter with a scored and a descriptive question.
    auto* parameters = open<frmParameter>(main()->mnuPrameter);
    enter(parameters->txtParameterDtls, "Responsiveness");
    clickCell(parameters->grdParameterDtls, 1, 1);
    clickCell(parameters->grdQuestionDtls, 1, 1);
    enter(parameters->txtQuestionDtls, scored);
    enter(parameters->txtQuestionDtls, "s");
    enter(parameters->txtQuestionDtls, written);
    enter(parameters->txtQuestionDtls, "d", 0);
    parameters->cmdSaveQuestion->click();
    ASSERT_EQ(value("select count(*) from param where parametername='Responsiveness'").toInt(), 2);

    // A new survey of today for Ann, both questions added from the tree, exported.
    auto* chooser = open<frmSelectSurvey>(main()->mnuNewSurvey);
    ASSERT_EQ(chooser->lstRespondent->currentItem()->text(), "Ann Carter");
    chooser->cmdBlankSurvey->click();
    frmNewSurvey* survey = SurveyWindows::loadedNewSurvey();
    ASSERT_NE(survey, nullptr);
    survey->trvParameter->expandAll();
    for (const QString& question : {scored, written}) {
        const QList<QTreeWidgetItem*> found =
            survey->trvParameter->findItems(question, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1);
        // With the blank last row current, each question goes to the end.
        survey->grdParamAndQuest->setRow(survey->grdParamAndQuest->rows() - 1);
        survey->trvParameter->setCurrentItem(found.first());
        QTest::keyClick(survey->trvParameter, Qt::Key_Return);
    }
    ASSERT_EQ(survey->grdParamAndQuest->rows(), 4);
    survey->cmdPrint->click();
    EXPECT_TRUE(holds(report("rptrating.rpt"), {"Northwind Traders", "Ann Carter", scored, written}));
    MsgBox::setNextAnswer(MsgBox::No); // not viewed now
    survey->cmdExport->click();
    const QString fileName = value("select xlsfilename from log").toString();
    ASSERT_FALSE(fileName.isEmpty());
    const QString workbook = QDir(folder()).filePath(fileName);

    // The respondent fills it in with one program and saves it with another.
    execute("/usr/bin/python3",
            {"-c",
             QStringLiteral("import sys, openpyxl\n"
                            "wb = openpyxl.load_workbook(sys.argv[1]); ws = wb['Sheet1']\n"
                            "ws['C14'] = 7; ws['D14'] = 9; ws['D16'] = 6; ws['B17'] = 'Faster callbacks, please'\n"
                            "wb.save(sys.argv[1])\n"),
             workbook});
    QTemporaryDir profile, resaved;
    execute(QStandardPaths::findExecutable("soffice"), {"--headless", "-env:UserInstallation=file://" + profile.path(),
                                                        "--convert-to", "xlsx", "--outdir", resaved.path(), workbook});
    ASSERT_TRUE(QFile::remove(workbook));
    ASSERT_TRUE(QFile::copy(QDir(resaved.path()).filePath(fileName), workbook));

    // Read Multiple Files.
    MsgBox::clearRecords();
    auto* reading = open<frmReading>(main()->mnuReadMultipleFiles);
    MsgBox::setNextFileNames({workbook});
    reading->cmdBrowse->click();
    ASSERT_EQ(reading->lstXlsFiles->count(), 1);
    reading->lstXlsFiles->item(0)->setSelected(true);
    reading->cmdImport->click();
    ASSERT_FALSE(MsgBox::shown().isEmpty());
    EXPECT_EQ(MsgBox::shown().last().text, "Import Done....");

    // The feedback window shows the answers.
    auto* feedback = open<frmFeedBackObj>(main()->mnuObjective);
    EXPECT_EQ(feedback->cmbCusName->currentText(), "Northwind Traders");
    EXPECT_EQ(feedback->lstRespname->selectedItems().value(0)->text(), "Ann Carter");
    EXPECT_EQ(feedback->lblSDate->text(), ValueFormat::formatDate(today));
    ASSERT_EQ(feedback->grdDtls->rows(), 3);
    EXPECT_EQ(feedback->grdDtls->textMatrix(1, frmFeedBackObj::ColQuestion), scored);
    EXPECT_EQ(feedback->grdDtls->textMatrix(1, frmFeedBackObj::ColWeightage), "9");
    EXPECT_EQ(feedback->grdDtls->textMatrix(1, frmFeedBackObj::ColScore), "7");
    EXPECT_EQ(feedback->grdDtls->textMatrix(2, frmFeedBackObj::ColWeightage), "6");
    EXPECT_EQ(feedback->grdDtls->textMatrix(2, frmFeedBackObj::ColDescription), "Faster callbacks, please");

    // Satisfaction index and performance matrix, viewed and printed.
    auto* index = open<frmSatisfactionIndex>(main()->mnuSatisfactionIndex);
    index->dtFrom->setDate(today);
    index->dtTo->setDate(today);
    index->lstParameter->selectAll();
    index->cmdView->click();
    ASSERT_TRUE(index->cmdPrint->isEnabled());
    index->cmdPrint->click();
    EXPECT_TRUE(holds(report("satisfactionindex.rpt"), {"Harbour Quality Ltd", "Northwind Traders", "Responsiveness"}));
    auto* matrix = open<frmPerformanceMatrix>(main()->mnuPerformanceMatrix);
    ASSERT_EQ(matrix->lstSurveyDates->count(), 1);
    const QModelIndex date = matrix->lstSurveyDates->model()->index(0, 0);
    QTest::mouseClick(matrix->lstSurveyDates->viewport(), Qt::LeftButton, {},
                      matrix->lstSurveyDates->visualRect(date).center());
    ASSERT_TRUE(matrix->cmdPrint->isEnabled());
    matrix->cmdPrint->click();
    EXPECT_TRUE(holds(report("scatter.rpt"), {"Northwind Traders", "Responsiveness", shownNumber(9), shownNumber(7)}));

    // An improvement action agreed with the customer.
    auto* plan = open<frmImprovementPlan>(main()->mnuImprovementPlan);
    ASSERT_EQ(plan->lstCusName->selectedItems().value(0)->text(), "Northwind Traders");
    plan->dttargetDate->setDate(today.addMonths(1));
    QTest::keyClicks(plan->txtDescription, "Call back within the hour");
    plan->opnNotComplete->click();
    plan->cmdSave->click();
    ASSERT_EQ(plan->lsvDtls->topLevelItemCount(), 1);

    // A keyword search opens the written answer in the feedback window.
    auto* search = open<frmSearch>(main()->mnuSearch);
    search->txtKeyword->setText("callbacks");
    search->cmdOK->click();
    ASSERT_EQ(search->lsvDtls->topLevelItemCount(), 1);
    const QPoint at = search->lsvDtls->visualItemRect(search->lsvDtls->topLevelItem(0)).center();
    QTest::mouseClick(search->lsvDtls->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(search->lsvDtls->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(active<frmFeedBackObj>(), feedback);
    EXPECT_EQ(feedback->lstRespname->selectedItems().value(0)->text(), "Ann Carter");

    // The remaining reports.
    open<frmLogDetails>(main()->mnuEmailSurveys)->cmdPrint->click();
    EXPECT_TRUE(holds(report("log.rpt"), {fileName, "Ann Carter", "Yes"}));
    open<frmDateToDate>(main()->mnuSurveyResponseAnalysis)->cmdPrint->click();
    EXPECT_TRUE(holds(report("surveyresponse.rpt"), {"Ann Carter", scored, written, "Faster callbacks, please"}));
    open<frmDtoDSatisfactionOverview>(main()->mnuSatisfactionOverviewAnalysis)->cmdPrint->click();
    EXPECT_TRUE(
        holds(report("satisfaction.rpt"), {"Survey Descriptive", "Faster callbacks, please", "Survey Objective", scored,
                                           "Planned Actions", "Call back within the hour", "Not Completed"}));
    open<frmDtoDActionPlan>(main()->mnuImprovementPlanAnalysis)->cmdPrint->click();
    EXPECT_TRUE(holds(report("actionplan.rpt"), {"Northwind Traders", "Call back within the hour", "Not Complete"}));
    EXPECT_EQ(ReportControl::runs().size(), 7);
}

// Every window is built: no menu item or toolbar entry is left disabled (a hidden one is never enabled).
TEST_F(Road, EveryMenuItemAndToolbarEntryIsEnabled)
{
    QList<QAction*> entries = main()->tlbHold->actions() + main()->mnuOpenForm->actions();
    QList<QMenu*> menus = {main()->mnuEdit};
    for (QAction* top : main()->menuBar()->actions()) {
        entries << top;
        if (top->menu())
            menus << top->menu();
    }
    while (!menus.isEmpty()) {
        for (QAction* item : menus.takeFirst()->actions()) {
            entries << item;
            if (item->menu())
                menus << item->menu();
        }
    }
    for (QAction* entry : entries) {
        if (entry->isSeparator() || !entry->isVisible())
            continue;
        EXPECT_TRUE(entry->isEnabled()) << entry->objectName().toStdString() << " " << entry->text().toStdString();
    }
}
