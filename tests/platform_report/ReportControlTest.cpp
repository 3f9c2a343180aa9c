#include "ReportFixture.h"

#include "platform/files/FileGuard.h"
#include "platform/files/WholeFile.h"
#include "support/SpecialFiles.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

class ReportControlRuns : public ReportFixture
{
protected:
    void SetUp() override
    {
        ReportFixture::SetUp();
        const QString insert =
            QStringLiteral("INSERT INTO log (custname, respname, xlsfilename, sdate, Status) VALUES (?, ?, ?, ?, ?)");
        exec(insert, {"North Works", "Front Desk", "north-1.xls", "2024-03-05", 1});
        exec(insert, {"South Yard", "Cy Dunn", "south-1.xls", "2024-02-01", 0});
        exec(insert, {"South Yard", "Di Fox", "south-2.xls", "2024-02-02", 0});
    }

    // The preview a run left on screen, if any.
    static QPrintPreviewDialog* shownPreview()
    {
        QPrintPreviewDialog* preview = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QPrintPreviewDialog*>(w))
                preview = d;
        }
        return preview;
    }

    // Runs a report that must fail: a message with the reason, no report, and the selection cleared.
    void expectFailure(ReportControl& control, const QString& reason)
    {
        MsgBox::clearRecords();
        const qsizetype runs = ReportControl::runs().size();
        EXPECT_FALSE(control.setAction(1));
        EXPECT_EQ(ReportControl::runs().size(), runs);
        ASSERT_EQ(MsgBox::shown().size(), 1);
        EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::Critical);
        EXPECT_TRUE(MsgBox::shown()[0].text.contains(reason)) << MsgBox::shown()[0].text.toStdString();
        EXPECT_TRUE(control.selectionFormula().isEmpty());
    }
};

TEST_F(ReportControlRuns, SecondRunShowsOnlyTheSecondCustomersRows)
{
    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    control.setSelectionFormula(QStringLiteral("{log.custname}='North Works'"));
    const QString first = runToText(control);
    EXPECT_TRUE(control.selectionFormula().isEmpty());
    control.setSelectionFormula(QStringLiteral("{log.custname}='South Yard'"));
    const QString second = runToText(control);
    EXPECT_TRUE(control.selectionFormula().isEmpty());

    EXPECT_TRUE(first.contains(QStringLiteral("north-1.xls")));
    EXPECT_FALSE(first.contains(QStringLiteral("south-")));
    EXPECT_TRUE(appearInOrder(second, {"Customer: South Yard", "south-1.xls", "south-2.xls", "Survey files: 2"}));
    EXPECT_FALSE(second.contains(QStringLiteral("North Works")));
    EXPECT_FALSE(second.contains(QStringLiteral("north-1.xls")));

    // A run after the reset, without a new selection, reports every row.
    const QString all = runToText(control);
    EXPECT_TRUE(appearInOrder(all, {"south-1.xls", "south-2.xls", "north-1.xls", "Survey files: 3"}));
}

TEST_F(ReportControlRuns, CompanyNameArrivesAsPlainText)
{
    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"), QStringLiteral("Bob's \"Best\" Diner"));
    const QString text = runToText(control);
    EXPECT_TRUE(text.contains(QStringLiteral("Bob's \"Best\" Diner"))) << text.toStdString();
    EXPECT_EQ(ReportControl::runs().last().lines.value(0), QStringLiteral("Bob's \"Best\" Diner"));

    // The analysis windows write the formula's name in lower case.
    control.setFormula(0, QStringLiteral("companyname='Dean\u2019s Mill'"));
    EXPECT_TRUE(runToText(control).contains(QStringLiteral("Dean\u2019s Mill")));
}

TEST_F(ReportControlRuns, SelectionValuesAreMatchedAsDataAndFieldNamesWithoutCase)
{
    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    control.setSelectionFormula(QStringLiteral("{log.custname}=''; DELETE FROM log; --'"));
    const QString text = runToText(control);
    EXPECT_TRUE(text.contains(QStringLiteral("No survey files have been produced for this customer.")));
    EXPECT_EQ(count(QStringLiteral("log")), 3);

    control.setSelectionFormula(QStringLiteral("{LOG.CustName}='south yard' AND {Log.SDATE}>=date(2024,2,2)"));
    const QString south = runToText(control);
    EXPECT_TRUE(south.contains(QStringLiteral("south-2.xls")));
    EXPECT_FALSE(south.contains(QStringLiteral("south-1.xls")));
}

TEST_F(ReportControlRuns, ReadsTheDatabaseFileItIsGiven)
{
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("elsewhere"))));
    const QString other = path(QStringLiteral("elsewhere/located.mdb"));
    ASSERT_TRUE(QFile::copy(databasePath(), other));
    exec(QStringLiteral("DELETE FROM log"));

    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    control.setDataFile(0, other);
    EXPECT_TRUE(runToText(control).contains(QStringLiteral("north-1.xls")));
    EXPECT_EQ(ReportControl::runs().last().dataFile, other);
}

TEST_F(ReportControlRuns, FailuresShowTheirReason)
{
    ReportControl control;
    prepare(control, QStringLiteral("missing.rpt"), QStringLiteral("Log Details"));
    control.setSelectionFormula(QStringLiteral("{log.custname}='North Works'"));
    expectFailure(control, QStringLiteral("missing.rpt"));

    QFile broken(path(QStringLiteral("broken.rpt")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("title = Broken\ntable = nosuchtable\ncolumn = a | A\n");
    broken.close();
    control.setReportFileName(path(QStringLiteral("broken.rpt")));
    expectFailure(control, QStringLiteral("nosuchtable"));

    control.setReportFileName(path(QStringLiteral("scatter.rpt")));
    expectFailure(control, QStringLiteral("perform.bmp"));

    control.setReportFileName(path(QStringLiteral("log.rpt")));
    control.setSelectionFormula(QStringLiteral("{log.custname}<>'North Works'"));
    expectFailure(control, QStringLiteral("selection formula"));
    control.setSelectionFormula(QStringLiteral("{customer.custname}='North Works'"));
    expectFailure(control, QStringLiteral("customer"));
    control.setSelectionFormula(QStringLiteral("{log.customer}='North Works'"));
    expectFailure(control, QStringLiteral("customer"));

    control.setDataFile(0, path(QStringLiteral("pellorin-gone.mdb")));
    expectFailure(control, QStringLiteral("pellorin-gone.mdb"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("pellorin-gone.mdb")))); // read-only: never created
}

TEST_F(ReportControlRuns, LongReportsRepeatTheirHeadingsOnEveryPage)
{
    exec(QStringLiteral("DELETE FROM log"));
    for (int i = 1; i <= 300; ++i) {
        exec(QStringLiteral("INSERT INTO log (custname, respname, xlsfilename, sdate, Status) VALUES (?, ?, ?, ?, ?)"),
             {"North Works", QStringLiteral("Respondent %1").arg(i, 3, 10, QLatin1Char('0')),
              QStringLiteral("file-%1.xls").arg(i, 3, 10, QLatin1Char('0')), "2024-03-05", i % 2});
    }
    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    const QString text = runToText(control);
    const int pages = ReportControl::runs().last().pageCount;
    ASSERT_GT(pages, 2);
    const QStringList pageTexts = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(pageTexts.size(), pages);
    for (int i = 0; i < pages; ++i) {
        EXPECT_TRUE(pageTexts[i].contains(QStringLiteral("Harbour Instruments Ltd"))) << i;
        EXPECT_TRUE(pageTexts[i].contains(QStringLiteral("Survey File"))) << i;
        EXPECT_TRUE(pageTexts[i].contains(QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages))) << i;
    }
    // The customer's group goes on over the break, so its heading is repeated.
    EXPECT_TRUE(pageTexts[1].contains(QStringLiteral("Customer: North Works (continued)")));
    QStringList files;
    for (int i = 1; i <= 300; ++i)
        files << QStringLiteral("file-%1.xls").arg(i, 3, 10, QLatin1Char('0'));
    EXPECT_TRUE(appearInOrder(text, files));
    EXPECT_EQ(text.count(QStringLiteral("file-")), 300);
}

TEST_F(ReportControlRuns, ShowsAMaximisedPreviewWithTheTitle)
{
    ReportControl::setTestMode(false);
    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    EXPECT_TRUE(control.setAction(1));
    ReportControl::setTestMode(true);
    QPrintPreviewDialog* preview = shownPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Log Details"));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->windowState() & Qt::WindowMaximized);
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ReportControlRuns, APdfThatCannotBeWrittenIsReportedAndKeepsTheOldFile)
{
    struct DiskFull {
        DiskFull() { WholeFile::failAfter(1024, ENOSPC); }
        ~DiskFull() { WholeFile::failAfter(-1, 0); }
    } full;
    const QString reason = QString::fromLocal8Bit(std::strerror(ENOSPC));
    const auto contents = [this](const QString& name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    {
        QFile old(path(QStringLiteral("log.pdf")));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the report printed before");
    }
    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    QString error;
    EXPECT_FALSE(control.renderToPdf(path(QStringLiteral("log.pdf")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("log.pdf")) && error.contains(reason)) << error.toStdString();
    EXPECT_EQ(contents(QStringLiteral("log.pdf")), "the report printed before");

    // Printed from the preview into a PDF file.
    ReportControl::setTestMode(false);
    ASSERT_TRUE(control.setAction(1));
    ReportControl::setTestMode(true);
    QPrintPreviewDialog* preview = shownPreview();
    ASSERT_NE(preview, nullptr);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path(QStringLiteral("printed.pdf")));
    MsgBox::clearRecords();
    emit preview->paintRequested(&printer);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::Critical);
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(QStringLiteral("printed.pdf")));
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(reason)) << MsgBox::shown()[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("printed.pdf"))));

    WholeFile::failAfter(-1, 0);
    emit preview->paintRequested(&printer);
    EXPECT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(pdfText(contents(QStringLiteral("printed.pdf"))).contains(QStringLiteral("Harbour Instruments Ltd")));
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ReportControlRuns, PrintingToAFileNeverWritesOverTheDatabase)
{
    // In write-ahead-log mode the connection keeps a lock on the database file for as long as it lives.
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    EXPECT_EQ(count(QStringLiteral("log")), 3);
    const QStringList locks = locksHeldOn(databasePath());
    ASSERT_FALSE(locks.isEmpty());
    FileGuard::setDatabaseFile(databasePath());
    struct stat before = {};
    ASSERT_EQ(::stat(QFile::encodeName(databasePath()).constData(), &before), 0);
    ASSERT_TRUE(QFile::link(databasePath(), path(QStringLiteral("report.ps"))));
    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    ReportControl::setTestMode(false);
    ASSERT_TRUE(control.setAction(1));
    ReportControl::setTestMode(true);
    QPrintPreviewDialog* preview = shownPreview();
    ASSERT_NE(preview, nullptr);

    // Into the database's file as a PDF, and through a link by the printer's own road.
    for (const auto& [format, name] : {std::pair{QPrinter::PdfFormat, QStringLiteral("Pellorin.mdb")},
                                       std::pair{QPrinter::NativeFormat, QStringLiteral("report.ps")}}) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(format);
        printer.setOutputFileName(path(name));
        MsgBox::clearRecords();
        emit preview->paintRequested(&printer);
        ASSERT_EQ(MsgBox::shown().size(), 1) << name.toStdString();
        EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::Critical);
        EXPECT_TRUE(MsgBox::shown()[0].text.startsWith("The report cannot be written to \"" + path(name) + "\": "))
            << MsgBox::shown()[0].text.toStdString();
    }

    // Chosen in the print dialog: refused before the dialog's own look at the file, which would open it.
    preview->printer()->setOutputFormat(QPrinter::PdfFormat);
    preview->printer()->setOutputFileName(databasePath());
    struct PressPrint : QObject {
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            auto* dialog = qobject_cast<QPrintDialog*>(watched);
            if (dialog && event->type() == QEvent::Show) {
                QPushButton* print = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                QMetaObject::invokeMethod(
                    print, [print] { QTest::mouseClick(print, Qt::LeftButton); }, Qt::QueuedConnection);
                QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            } else if (auto* question = qobject_cast<QDialog*>(watched);
                       question && event->type() == QEvent::Show && !qobject_cast<QPrintPreviewDialog*>(question)) {
                // Qt's own question whether to replace the file, were the dialog to get that far.
                QMetaObject::invokeMethod(question, &QDialog::reject, Qt::QueuedConnection);
            }
            return false;
        }
    } press;
    MsgBox::clearRecords();
    qApp->installEventFilter(&press);
    for (QAction* action : preview->findChildren<QAction*>())
        if (action->text() == QCoreApplication::translate("QPrintPreviewDialog", "Print"))
            action->trigger();
    qApp->removeEventFilter(&press);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.startsWith("The report cannot be written to \"" + databasePath()));
    EXPECT_EQ(locksHeldOn(databasePath()), locks);

    FileGuard::setDatabaseFile(QString());
    struct stat after = {};
    ASSERT_EQ(::stat(QFile::encodeName(databasePath()).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(count(QStringLiteral("log")), 3);
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ReportControlRuns, PrintsToAFileThroughThePrintDialogsOwnButton)
{
    ReportControl::setTestMode(false);
    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    ASSERT_TRUE(control.setAction(1));
    ReportControl::setTestMode(true);
    QPrintPreviewDialog* preview = shownPreview();
    ASSERT_NE(preview, nullptr);
    // A file printed before is replaced only once the user agrees, as the dialog asks.
    const QString file = path(QStringLiteral("printed.pdf"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the report printed before");
    }
    preview->printer()->setOutputFormat(QPrinter::PdfFormat);
    preview->printer()->setOutputFileName(file);
    struct PressPrint : QObject {
        QStringList questions; // the real question boxes, answered with Return
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() != QEvent::Show)
                return false;
            if (auto* dialog = qobject_cast<QPrintDialog*>(watched)) {
                QPushButton* print = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                QMetaObject::invokeMethod(
                    print, [print] { QTest::mouseClick(print, Qt::LeftButton); }, Qt::QueuedConnection);
                // Should Print leave the dialog open, it is closed rather than left waiting.
                QMetaObject::invokeMethod(
                    dialog, [dialog] { dialog->isVisible() ? dialog->reject() : void(); }, Qt::QueuedConnection);
            } else if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                questions << box->text();
                QMetaObject::invokeMethod(
                    box, [box] { QTest::keyClick(box, Qt::Key_Return); }, Qt::QueuedConnection);
            } else if (auto* other = qobject_cast<QDialog*>(watched);
                       other && !qobject_cast<QPrintPreviewDialog*>(other)) {
                QMetaObject::invokeMethod(other, &QDialog::reject, Qt::QueuedConnection);
            }
            return false;
        }
    } press;
    const auto print = [&] {
        qApp->installEventFilter(&press);
        for (QAction* action : preview->findChildren<QAction*>())
            if (action->text() == QCoreApplication::translate("QPrintPreviewDialog", "Print"))
                action->trigger();
        qApp->removeEventFilter(&press);
    };
    const QString question = file + " already exists.\nDo you want to overwrite it?";
    const auto printed = [&file] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    // Return, pressed by habit, keeps the file.
    MsgBox::setTestMode(false);
    print();
    MsgBox::setTestMode(true);
    EXPECT_EQ(press.questions, QStringList{question});
    EXPECT_EQ(printed(), "the report printed before");

    MsgBox::setNextAnswer(MsgBox::Yes);
    print();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text, question);
    EXPECT_TRUE(pdfText(printed()).contains(QStringLiteral("Harbour Instruments Ltd")));
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(ReportControlRuns, APictureNamingTheDatabaseIsRefusedUnopened)
{
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    EXPECT_EQ(count(QStringLiteral("log")), 3);
    const QStringList locks = locksHeldOn(databasePath());
    ASSERT_FALSE(locks.isEmpty());
    FileGuard::setDatabaseFile(databasePath());
    QFile layout(path(QStringLiteral("pictured.rpt")));
    ASSERT_TRUE(layout.open(QIODevice::WriteOnly));
    layout.write("title = Pictured\ntable = log\npicture = Pellorin.mdb\ncolumn = custname | Customer | 40\n");
    layout.close();
    ReportControl control;
    prepare(control, QStringLiteral("pictured.rpt"), QStringLiteral("Log Details"));
    expectFailure(control, "The picture \"" + databasePath() +
                               "\" that the report shows cannot be read: it is one of the program's database files");
    EXPECT_EQ(locksHeldOn(databasePath()), locks);
    FileGuard::setDatabaseFile(QString());
}

TEST_F(ReportControlRuns, ThePreviewStaysOpenAfterPrinting)
{
    ReportControl::setTestMode(false);
    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    ASSERT_TRUE(control.setAction(1));
    ReportControl::setTestMode(true);
    QPrintPreviewDialog* preview = shownPreview();
    ASSERT_NE(preview, nullptr);
    QAction* print = nullptr;
    for (QAction* action : preview->findChildren<QAction*>())
        if (action->text() == QCoreApplication::translate("QPrintPreviewDialog", "Print"))
            print = action;
    ASSERT_NE(print, nullptr);

    // Printed into a PDF file: the print dialog comes up with that file chosen and is answered with Print, from
    // within its own event loop.
    preview->printer()->setOutputFileName(path(QStringLiteral("printed.pdf")));
    struct PrintDialogAnswer : QObject {
        int shown = 0;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (auto* dialog = qobject_cast<QPrintDialog*>(watched); dialog && event->type() == QEvent::Show) {
                ++shown;
                QMetaObject::invokeMethod(dialog, &QDialog::accept, Qt::QueuedConnection);
            }
            return false;
        }
    } answer;
    qApp->installEventFilter(&answer);
    print->trigger();
    qApp->removeEventFilter(&answer);
    EXPECT_EQ(answer.shown, 1);
    QFile printed(path(QStringLiteral("printed.pdf")));
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdfText(printed.readAll()).contains(QStringLiteral("Harbour Instruments Ltd")));

    // The report stays on screen until the user closes it.
    QCoreApplication::processEvents();
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(shownPreview(), preview);
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
