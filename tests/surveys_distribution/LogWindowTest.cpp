#include "DistributionFixture.h"

#include "platform/desktop/ToolRun.h"
#include "platform/help/HelpDocument.h"
#include "platform/help/HelpWindow.h"
#include "platform/report/ValueFormat.h"
#include "shell/Progress.h"
#include "surveys/frmLogDetails.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace
{

class LogWindow : public DistributionFixture
{
protected:
    static QStringList listed(frmLogDetails* w, int column = 0)
    {
        QStringList list;
        for (int i = 0; i < w->lsvDtls->topLevelItemCount(); ++i)
            list << w->lsvDtls->topLevelItem(i)->text(column);
        return list;
    }
    // The Acme workbooks: four rows, in the order they were produced.
    void addAcmeLog()
    {
        addLog(QStringLiteral("Acme"), QStringLiteral("Ann"), QStringLiteral("Acme_Ann_2031.xlsx"), d1, 1);
        addLog(QStringLiteral("Acme"), QStringLiteral("Bob"), QStringLiteral("Acme_Bob_2031.xlsx"), d1, 0);
        addLog(QStringLiteral("Zenith"), QStringLiteral("Zed"), QStringLiteral("Zenith_Zed.xlsx"), d1, 0);
        addLog(QStringLiteral("Acme"), QStringLiteral("Cy"), QStringLiteral("Acme_Cy.xlsx"), d2, QVariant());
        addLog(QStringLiteral("Acme"), QStringLiteral("Dee"), QStringLiteral("Acme_Dee.xlsx"), d2, 0);
    }
};

} // namespace

TEST_F(LogWindow, ListsTheChosenCustomersWorkbooks)
{
    addAcmeLog();
    frmLogDetails* w = openLog();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Email Survey Files"));
    EXPECT_EQ(w->cmbCustomer->count(), 2);
    EXPECT_EQ(w->cmbCustomer->currentText(), QStringLiteral("Acme"));
    EXPECT_EQ(listed(w), (QStringList{QStringLiteral("Acme_Ann_2031.xlsx"), QStringLiteral("Acme_Bob_2031.xlsx"),
                                      QStringLiteral("Acme_Cy.xlsx"), QStringLiteral("Acme_Dee.xlsx")}));
    EXPECT_EQ(listed(w, 1)[0], ValueFormat::formatDate(d1));
    EXPECT_EQ(listed(w, 2)[1], QStringLiteral("Bob"));
    // Status: 1, 0, NULL, 0.
    EXPECT_EQ(listed(w, 3),
              (QStringList{QStringLiteral("Yes"), QStringLiteral("No"), QString(), QStringLiteral("No")}));

    // Choosing another customer lists only its rows; one without rows gives an empty list.
    w->cmbCustomer->setCurrentIndex(1);
    EXPECT_EQ(listed(w), QStringList{QStringLiteral("Zenith_Zed.xlsx")});
    run(QStringLiteral("delete from log where custname='Zenith'"));
    w->cmbCustomer->setCurrentIndex(0);
    w->cmbCustomer->setCurrentIndex(1);
    EXPECT_EQ(w->lsvDtls->topLevelItemCount(), 0);
    // With nothing listed, Print and Delete do nothing visible.
    w->cmdPrint->click();
    w->cmdDelete->click();
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    EXPECT_EQ(Progress::text(), QString());

    w->cmdHelp->click();
    ASSERT_NE(HelpWindow::instance(), nullptr);
    EXPECT_EQ(HelpWindow::instance()->currentTopic(), HelpDocument::topicId(203));
    HelpWindow::instance()->close();
}

TEST_F(LogWindow, DeletesTheConfirmedWorkbooksWithTheirRows)
{
    addAcmeLog();
    // Another customer's row for a file of the same name goes with it.
    run(QStringLiteral("insert into log (custname, respname, xlsfilename) values ('Zenith', 'Zed', "
                       "'Acme_Bob_2031.xlsx')"));
    frmLogDetails* w = openLog();
    select(w, {0, 1});
    MsgBox::setNextAnswer(MsgBox::No);
    MsgBox::setNextAnswer(MsgBox::Yes);
    w->cmdDelete->click();

    ASSERT_EQ(MsgBox::shown().size(), 2);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("Are you sure you want to delete the Survey File - Acme_Ann_2031.xlsx"));
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::YesNo);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Quorvane v2.1"));
    EXPECT_TRUE(QFileInfo::exists(programFile(QStringLiteral("Acme_Ann_2031.xlsx"))));
    EXPECT_FALSE(QFileInfo::exists(programFile(QStringLiteral("Acme_Bob_2031.xlsx"))));
    EXPECT_EQ(logFiles(), (QStringList{QStringLiteral("Acme_Ann_2031.xlsx"), QStringLiteral("Zenith_Zed.xlsx"),
                                       QStringLiteral("Acme_Cy.xlsx"), QStringLiteral("Acme_Dee.xlsx")}));
    EXPECT_EQ(listed(w), (QStringList{QStringLiteral("Acme_Ann_2031.xlsx"), QStringLiteral("Acme_Cy.xlsx"),
                                      QStringLiteral("Acme_Dee.xlsx")}));
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(LogWindow, AWorkbookMissingFromTheFolderIsLocatedOrItsRowRemoved)
{
    addLog(QStringLiteral("Acme"), QStringLiteral("Ann"), QStringLiteral("Moved.xlsx"), d1, 0, false);
    addLog(QStringLiteral("Acme"), QStringLiteral("Bob"), QStringLiteral("Gone.xlsx"), d1, 0, false);
    addLog(QStringLiteral("Acme"), QStringLiteral("Cy"), QStringLiteral("Kept.xlsx"), d1, 0, false);
    QTemporaryDir elsewhere;
    writeFile(elsewhere.filePath(QStringLiteral("Moved.xlsx")));
    writeFile(elsewhere.filePath(QStringLiteral("Other.xlsx")));
    frmLogDetails* w = openLog();
    const QString notFound =
        QStringLiteral(" Survey File not found in the Current Directory......Kindly locate the file to Delete");

    // Located elsewhere under its own name: that file and the row go.
    select(w, {0});
    MsgBox::setNextAnswer(MsgBox::Yes);
    MsgBox::setNextAnswer(MsgBox::Ok);
    MsgBox::setNextFileName(elsewhere.filePath(QStringLiteral("Moved.xlsx")));
    w->cmdDelete->click();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("Moved.xlsx") + notFound);
    EXPECT_EQ(MsgBox::shown().last().style, MsgBox::OkCancel);
    EXPECT_FALSE(QFileInfo::exists(elsewhere.filePath(QStringLiteral("Moved.xlsx"))));
    EXPECT_EQ(listed(w), (QStringList{QStringLiteral("Gone.xlsx"), QStringLiteral("Kept.xlsx")}));

    // Another file chosen: refused, nothing deleted.
    MsgBox::clearRecords();
    select(w, {1});
    MsgBox::setNextAnswer(MsgBox::Yes);
    MsgBox::setNextAnswer(MsgBox::Ok);
    MsgBox::setNextFileName(elsewhere.filePath(QStringLiteral("Other.xlsx")));
    w->cmdDelete->click();
    EXPECT_EQ(boxTexts().last(),
              QStringLiteral("Invalid Survey File Selected ..You must select Kept.xlsx Survey File to Delete"));
    EXPECT_EQ(MsgBox::shown().last().style, 5);
    EXPECT_TRUE(QFileInfo::exists(elsewhere.filePath(QStringLiteral("Other.xlsx"))));
    EXPECT_EQ(logFiles(), (QStringList{QStringLiteral("Gone.xlsx"), QStringLiteral("Kept.xlsx")}));

    // Cancel on the question keeps the row; no file to point at (the dialog cancelled) removes it.
    select(w, {0});
    MsgBox::setNextAnswer(MsgBox::Yes);
    MsgBox::setNextAnswer(MsgBox::Cancel);
    w->cmdDelete->click();
    EXPECT_EQ(logFiles(), (QStringList{QStringLiteral("Gone.xlsx"), QStringLiteral("Kept.xlsx")}));
    MsgBox::setNextAnswer(MsgBox::Yes);
    MsgBox::setNextAnswer(MsgBox::Ok);
    MsgBox::setNextFileName(QString());
    w->cmdDelete->click();
    EXPECT_EQ(logFiles(), QStringList{QStringLiteral("Kept.xlsx")});
    EXPECT_EQ(listed(w), QStringList{QStringLiteral("Kept.xlsx")});
}

TEST_F(LogWindow, AFileThatCannotBeDeletedIsReportedAndKeepsItsRow)
{
    addLog(QStringLiteral("Acme"), QStringLiteral("Ann"), QStringLiteral("Busy.xlsx"), d1, 0, false);
    // A folder where the workbook should be: it is there, but not a file that can be removed.
    ASSERT_TRUE(QDir(programFolder()).mkpath(QStringLiteral("Busy.xlsx/inner")));
    frmLogDetails* w = openLog();
    select(w, {0});
    MsgBox::setNextAnswer(MsgBox::Yes);
    MsgBox::setNextAnswer(MsgBox::Ok);
    MsgBox::setNextFileName(programFile(QStringLiteral("Busy.xlsx")));
    w->cmdDelete->click();
    EXPECT_TRUE(boxTexts().last().contains(QLatin1String("could not be deleted"))) << boxTexts().last().toStdString();
    EXPECT_EQ(logFiles(), QStringList{QStringLiteral("Busy.xlsx")});
}

TEST_F(LogWindow, PrintsTheLogOfTheChosenCustomerOnly)
{
    addAcmeLog();
    frmLogDetails* w = openLog();
    w->cmdPrint->click();
    w->cmbCustomer->setCurrentIndex(1);
    w->cmdPrint->click();

    const QList<ReportControl::Run> runs = ReportControl::runs();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].windowTitle, QStringLiteral("Log Details"));
    EXPECT_EQ(runs[0].windowState, ReportControl::Maximized);
    EXPECT_EQ(runs[0].selectionFormula, QStringLiteral("{log.custname}='Acme'"));
    EXPECT_EQ(QFileInfo(runs[0].reportFileName).fileName(), QStringLiteral("log.rpt"));
    EXPECT_EQ(w->crptReport->selectionFormula(), QString());

    const QString acme = pdfText(runs[0].pdf);
    EXPECT_TRUE(acme.contains(QLatin1String("Harbour Quality Ltd"))) << acme.toStdString();
    for (const char* f : {"Acme_Ann_2031.xlsx", "Acme_Bob_2031.xlsx", "Acme_Cy.xlsx", "Acme_Dee.xlsx"})
        EXPECT_TRUE(acme.contains(QLatin1String(f))) << f;
    EXPECT_FALSE(acme.contains(QLatin1String("Zenith_Zed")));
    EXPECT_EQ(runs[0].rowCount, 4);

    const QString zenith = pdfText(runs[1].pdf);
    EXPECT_TRUE(zenith.contains(QLatin1String("Zenith_Zed.xlsx")));
    EXPECT_FALSE(zenith.contains(QLatin1String("Acme_")));
    EXPECT_EQ(runs[1].rowCount, 1);
}

TEST_F(LogWindow, AFailedPrintIsReportedOnce)
{
    addAcmeLog();
    QFile::remove(programFile(QStringLiteral("log.rpt")));
    frmLogDetails* w = openLog();
    w->cmdPrint->click();
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    EXPECT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(LogWindow, EnterOpensEachSelectedWorkbookUntilOneFails)
{
    addAcmeLog();
    frmLogDetails* w = openLog();
    select(w, {0, 2});
    w->lsvDtls->setFocus();
    QTest::keyClick(w->lsvDtls, Qt::Key_Return);
    EXPECT_EQ(Desktop::openedFiles(), (QStringList{programFile(QStringLiteral("Acme_Ann_2031.xlsx")),
                                                   programFile(QStringLiteral("Acme_Cy.xlsx"))}));
    EXPECT_TRUE(MsgBox::shown().isEmpty());

    // A missing workbook is reported and the rows after it are not opened.
    QFile::remove(programFile(QStringLiteral("Acme_Bob_2031.xlsx")));
    select(w, {1, 3});
    emit w->lsvDtls->itemDoubleClicked(w->lsvDtls->topLevelItem(1), 0);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(boxTexts()[0].contains(QLatin1String("Acme_Bob_2031.xlsx")));
    EXPECT_EQ(Desktop::openedFiles().size(), 2);
    EXPECT_EQ(Progress::text(), QString());

    // So is a workbook that the desktop has no program for.
    Desktop::setOpenResult(false);
    select(w, {0, 2});
    QTest::keyClick(w->lsvDtls, Qt::Key_Return);
    Desktop::setOpenResult(true);
    ASSERT_EQ(MsgBox::shown().size(), 2);
    EXPECT_EQ(boxTexts()[1], QDir::toNativeSeparators(programFile(QStringLiteral("Acme_Ann_2031.xlsx"))) +
                                 QStringLiteral(" could not be opened: no program is set up to open it."));
    EXPECT_EQ(Desktop::openedFiles().size(), 3);
}

TEST_F(LogWindow, AWorkbookThatFailsToOpenLateIsReportedThenAndAViewerLeftRunningIsLeftAlone)
{
    addAcmeLog();
    // The desktop's own opening road, with an xdg-open that stays up until the test lets it end with a code.
    const QDir tools(mail->folder());
    {
        QFile opener(tools.filePath(QStringLiteral("xdg-open")));
        ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
        opener.write(QStringLiteral("#!/bin/sh\nat=%1/\"${1##*/}\"\necho $$ > \"$at.pid\"\n"
                                    "while [ ! -e \"$at.go\" ]; do /bin/sleep 0.05; done\nread code < \"$at.go\"\n"
                                    "[ \"$code\" = 0 ] || echo \"xdg-open: no method available for opening '$1'\" >&2\n"
                                    "exit $code\n")
                         .arg(MailRecorder::quoted(tools.path()))
                         .toUtf8());
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const auto pidOf = [&tools](const QString& file) {
        QFile f(tools.filePath(file + QStringLiteral(".pid")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).trimmed() : QString();
    };
    const auto release = [&tools](const QString& file, int code) {
        QFile f(tools.filePath(file + QStringLiteral(".go")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(code) + '\n');
    };
    Desktop::setTestMode(false);
    const int grace = ToolRun::gracePeriod();
    ToolRun::setGracePeriod(100);
    frmLogDetails* w = openLog();
    select(w, {0, 2});
    emit w->lsvDtls->itemDoubleClicked(w->lsvDtls->topLevelItem(0), 0);
    ToolRun::setGracePeriod(grace);
    // Both openers outlasted the grace period: taken as opened, for now.
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    const QString ann = QStringLiteral("Acme_Ann_2031.xlsx");
    const QString cy = QStringLiteral("Acme_Cy.xlsx");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pidOf(ann).isEmpty() && !pidOf(cy).isEmpty(); }, 60000));

    // Ann's opener fails in the end: the message of a failure at once, naming the file.
    release(ann, 3);
    EXPECT_TRUE(QTest::qWaitFor([] { return !MsgBox::shown().isEmpty(); }, 60000));
    const QString path = programFile(ann);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(boxTexts()[0], QDir::toNativeSeparators(path) +
                                 QStringLiteral(" could not be opened: no program is set up to open it (xdg-open: no "
                                                "method available for opening '") +
                                 path + QStringLiteral("')."));

    // Cy's viewer runs on, untouched; when it ends well nothing is said, and nothing is left of it.
    const QString viewer = QStringLiteral("/proc/") + pidOf(cy);
    EXPECT_TRUE(QFileInfo::exists(viewer));
    release(cy, 0);
    EXPECT_TRUE(QTest::qWaitFor([&viewer] { return !QFileInfo::exists(viewer); }, 60000)) << "left unreaped";
    QCoreApplication::processEvents();
    EXPECT_EQ(MsgBox::shown().size(), 1);
    Desktop::setTestMode(true);
}
