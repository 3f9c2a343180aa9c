#include "platform/report/ReportControl.h"

#include "platform/dialogs/MsgBox.h"
#include "platform/files/Picture.h"
#include "platform/report/ReportData.h"
#include "platform/report/ReportDefinition.h"
#include "platform/report/ReportRenderer.h"
#include "platform/report/SelectionFormula.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

namespace
{

struct Seam {
    bool testMode = false;
    QList<ReportControl::Run> runs;
};

Seam& seam()
{
    static Seam s;
    return s;
}

// Qt's preview accepts, and so closes, itself once it has printed. The report's window stays open after printing,
// until the user closes it: the main window behind it is maximised too, and a click meant for the report would
// land there.
class ReportPreview : public QPrintPreviewDialog
{
public:
    using QPrintPreviewDialog::QPrintPreviewDialog;
    void accept() override {}
};

// Qt's print dialog, printing to a file, opens that file to see whether it can be written before it asks anything;
// opened and closed on one of the database's files, that drops the connection's locks. So its Print button only
// accepts the dialog, which hands the choices to the printer, and the printer's file is checked before anything is
// painted. Replacing a file that exists is asked, as the dialog itself asks: Return keeps the file.
class PrintDialogGuard : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildPolished) {
            if (auto* dialog = qobject_cast<QPrintDialog*>(static_cast<QChildEvent*>(event)->child()))
                dialog->installEventFilter(this);
        } else if (event->type() == QEvent::Show) {
            if (auto* dialog = qobject_cast<QPrintDialog*>(watched))
                guard(dialog);
        }
        return false;
    }

private:
    static void guard(QPrintDialog* dialog)
    {
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        if (!buttons || buttons->property("guarded").toBool())
            return;
        buttons->setProperty("guarded", true);
        QObject::disconnect(buttons, &QDialogButtonBox::accepted, dialog, nullptr);
        QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog] {
            dialog->accept();
            if (dialog->result() != QDialog::Accepted)
                return;
            const QString file = dialog->printer()->outputFileName();
            if (file.isEmpty())
                return;
            // Left with the dialog's answer "rejected", the preview paints nothing.
            QString error;
            if (!ReportRenderer::mayWrite(file, &error)) {
                MsgBox::show(error, MsgBox::Critical);
                dialog->setResult(QDialog::Rejected);
            } else if (QFileInfo::exists(file) &&
                       MsgBox::show(QPrintDialog::tr("%1 already exists.\nDo you want to overwrite it?").arg(file),
                                    MsgBox::YesNo + MsgBox::DefaultButton2, dialog->windowTitle()) != MsgBox::Yes) {
                dialog->setResult(QDialog::Rejected);
            }
        });
    }
};

} // namespace

// Everything one run needs, kept together because the preview paints again whenever the user asks.
struct ReportControl::Prepared {
    ReportDefinition definition;
    ReportData data;
    QHash<QString, QString> formulas;
    QImage picture;
    std::unique_ptr<ReportRenderer> renderer;
    std::unique_ptr<QPrinter> printer;
};

ReportControl::ReportControl(QWidget* owner) : QObject(owner), m_owner(owner) {}

bool ReportControl::splitFormula(const QString& formula, QString* name, QString* text)
{
    const int eq = formula.indexOf(QLatin1Char('='));
    if (eq < 0 || !ReportDefinition::isName(formula.left(eq).trimmed()))
        return false;
    *name = formula.left(eq).trimmed();
    const QString value = formula.mid(eq + 1).trimmed();
    const bool quoted = value.size() >= 2 &&
                        (value.front() == QLatin1Char('\'') || value.front() == QLatin1Char('"')) &&
                        value.back() == value.front();
    *text = quoted ? value.mid(1, value.size() - 2) : value;
    return true;
}

bool ReportControl::prepare(Prepared* prepared, QString* error) const
{
    if (m_reportFileName.trimmed().isEmpty()) {
        *error = QStringLiteral("No report file is named for the report.");
        return false;
    }
    if (!ReportDefinition::load(m_reportFileName, &prepared->definition, error))
        return false;
    const QString databasePath = m_dataFiles.value(0);
    if (databasePath.trimmed().isEmpty()) {
        *error = QStringLiteral("No database file is named for the report.");
        return false;
    }
    SelectionFormula selection;
    if (!selection.parse(m_selectionFormula, error))
        return false;
    for (const QString& formula : m_formulas) {
        if (formula.trimmed().isEmpty())
            continue;
        QString name, text;
        if (!splitFormula(formula, &name, &text)) {
            *error = QStringLiteral("The report formula %1 is not written Name='text'.").arg(formula);
            return false;
        }
        prepared->formulas.insert(name, text);
    }
    if (!prepared->definition.picture.isEmpty()) {
        const QString path = QFileInfo(m_reportFileName).absoluteDir().filePath(prepared->definition.picture);
        if (!QFileInfo::exists(path)) {
            *error = QStringLiteral("The picture \"%1\" that the report shows is missing.").arg(path);
            return false;
        }
        QString reason;
        prepared->picture = Picture::read(path, &reason);
        if (prepared->picture.isNull()) {
            *error = QStringLiteral("The picture \"%1\" that the report shows cannot be read: %2").arg(path, reason);
            return false;
        }
    }
    if (!prepared->data.load(databasePath, prepared->definition, selection, error))
        return false;
    prepared->renderer =
        std::make_unique<ReportRenderer>(prepared->definition, prepared->data, prepared->formulas, prepared->picture);
    return true;
}

bool ReportControl::renderToPdf(const QString& pdfPath, QString* error)
{
    Prepared prepared;
    return prepare(&prepared, error) && prepared.renderer->writePdf(pdfPath, error);
}

bool ReportControl::setAction(int action)
{
    if (action != 1)
        return false;
    auto prepared = std::make_shared<Prepared>();
    QString error;
    bool ok = prepare(prepared.get(), &error);
    if (ok && seam().testMode) {
        Run run;
        run.reportFileName = m_reportFileName;
        run.dataFile = m_dataFiles.value(0);
        run.selectionFormula = m_selectionFormula;
        run.windowTitle = m_windowTitle;
        run.windowState = m_windowState;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        ok = prepared->renderer->writePdf(pdf, &error);
        if (ok) {
            QFile file(pdf);
            if (file.open(QIODevice::ReadOnly))
                run.pdf = file.readAll();
            run.lines = prepared->renderer->textLines();
            run.rowCount = prepared->data.rowCount();
            run.pageCount = prepared->renderer->pageCount();
            seam().runs << run;
        }
    } else if (ok) {
        showPreview(prepared);
    }
    if (!ok)
        MsgBox::show(error, MsgBox::Critical);
    // The next run of this control starts without a selection.
    m_selectionFormula.clear();
    return ok;
}

void ReportControl::showPreview(std::shared_ptr<Prepared> prepared)
{
    prepared->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    prepared->renderer->setUpPrinter(prepared->printer.get());
    // Not modal: the report window stays open beside the program's windows, as a printed report's window does.
    auto* dialog = new ReportPreview(prepared->printer.get(), m_owner);
    dialog->installEventFilter(new PrintDialogGuard(dialog));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(m_windowTitle);
    connect(dialog, &QPrintPreviewDialog::paintRequested, dialog, [prepared](QPrinter* printer) {
        const QString file = printer->outputFileName();
        QString error;
        // Printing to a PDF file goes through the report's own PDF, which checks the file and is written whole or
        // reported.
        if (!file.isEmpty() && printer->outputFormat() == QPrinter::PdfFormat && printer->paintEngine() &&
            printer->paintEngine()->type() == QPaintEngine::Pdf) {
            if (!prepared->renderer->writePdf(file, &error, printer->pageLayout()))
                MsgBox::show(error, MsgBox::Critical);
            return;
        }
        // Printed to a file by any other road, the file must still be one the program may write.
        if (!file.isEmpty() && !ReportRenderer::mayWrite(file, &error)) {
            MsgBox::show(error, MsgBox::Critical);
            return;
        }
        if (!prepared->renderer->print(printer))
            MsgBox::show(QStringLiteral("The report cannot be printed."), MsgBox::Critical);
    });
    // Shown at the screen's size first, then maximised: a desktop without a window manager ignores the request
    // to maximise, and the report still fills the screen.
    const QRect screen = (m_owner ? m_owner->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    dialog->setGeometry(m_windowState == Maximized ? screen : QRect(screen.topLeft(), screen.size() * 4 / 5));
    dialog->show();
    if (m_windowState == Maximized)
        dialog->setWindowState(dialog->windowState() | Qt::WindowMaximized);
    else if (m_windowState == Minimized)
        dialog->setWindowState(dialog->windowState() | Qt::WindowMinimized);
}

void ReportControl::setTestMode(bool on)
{
    seam().testMode = on;
}

bool ReportControl::testMode()
{
    return seam().testMode;
}

QList<ReportControl::Run> ReportControl::runs()
{
    return seam().runs;
}

void ReportControl::clearRuns()
{
    seam().runs.clear();
}
