#include "feedback/frmReading.h"

#include "feedback/ReturnedWorkbookStore.h"
#include "feedback/SurveyWorkbookReader.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/report/ValueFormat.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace
{

QString title()
{
    return QLatin1String(frmReading::kTitle);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* label = makeControl<QLabel>(parent, name, geometry);
    label->setText(caption);
    return label;
}

// The labels that show an entry's log details are sunken boxes, blank until an entry is chosen.
QLabel* makeValue(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* label = makeControl<QLabel>(parent, name, geometry);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::Base);
    label->setContentsMargins(4, 0, 4, 0);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int x)
{
    auto* button = makeControl<QPushButton>(parent, name, QRect(x, 318, 100, 30));
    button->setText(caption);
    return button;
}

// An entry's file name: the text after its last folder separator, as the log records it.
QString fileNameOf(const QString& entry)
{
    return QFileInfo(QDir::fromNativeSeparators(entry)).fileName();
}

} // namespace

frmReading::frmReading(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Read Xls File"));
    setFixedSize(576, 364);

    Label4 = makeLabel(this, "Label4", QStringLiteral("List(s) of Excel File"), QRect(16, 12, 544, 20));
    lstXlsFiles = makeControl<QListWidget>(this, "lstXlsFiles", QRect(16, 34, 544, 180));
    lstXlsFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Customer Name "), QRect(16, 226, 130, 24));
    Label2 = makeLabel(this, "Label2", QStringLiteral("Respondent Name "), QRect(16, 254, 130, 24));
    Label3 = makeLabel(this, "Label3", QStringLiteral("Survey Date "), QRect(16, 282, 130, 24));
    lblCustName = makeValue(this, "lblCustName", QRect(150, 226, 410, 24));
    lblRespName = makeValue(this, "lblRespName", QRect(150, 254, 410, 24));
    lblSDate = makeValue(this, "lblSDate", QRect(150, 282, 160, 24));

    cmdBrowse = makeButton(this, "cmdBrowse", QStringLiteral("&Browse"), 16);
    cmdImport = makeButton(this, "cmdImport", QStringLiteral("&Import"), 124);
    cmdHelp = makeButton(this, "cmdHelp", QStringLiteral("&Help"), 352);
    cmdClose = makeButton(this, "cmdClose", QStringLiteral("&Close"), 460);

    connect(cmdBrowse, &QPushButton::clicked, this, &frmReading::cmdBrowse_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmReading::cmdImport_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmReading::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmReading::cmdClose_Click);
    connect(lstXlsFiles, &QListWidget::itemSelectionChanged, this, &frmReading::lstXlsFiles_Click);
}

void frmReading::Form_Load()
{
    toCenterForm(this);
}

void frmReading::clearLogDetails()
{
    for (QLabel* label : {lblCustName, lblRespName, lblSDate})
        label->clear();
}

void frmReading::cmdBrowse_Click()
{
    clearLogDetails();
    const QStringList paths =
        MsgBox::getOpenFileNames(QString(), programFolder(), QStringLiteral("All Files (*.xlsx)|*.xlsx"));
    if (paths.isEmpty())
        return;
    lstXlsFiles->clear();
    for (const QString& path : paths) {
        if (!SurveyWorkbookReader::isTemplate(path))
            lstXlsFiles->addItem(QDir::toNativeSeparators(path));
    }
}

void frmReading::lstXlsFiles_Click()
{
    clearLogDetails();
    // The entry shown is the one selected, not the current one, which may just have been deselected.
    const QList<QListWidgetItem*> selected = lstXlsFiles->selectedItems();
    if (selected.size() == 1)
        toShowLogDetails(fileNameOf(selected.first()->text()));
}

void frmReading::toShowLogDetails(const QString& fileName)
{
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(
            QStringLiteral("select custname, respname, sdate from log where xlsfilename=? order by rowid"), {fileName});
        if (!q.next())
            return;
        lblCustName->setText(q.value(0).toString());
        lblRespName->setText(q.value(1).toString());
        const QDate date = ValueFormat::toDate(q.value(2));
        lblSDate->setText(date.isValid() ? ValueFormat::formatDate(date) : QString());
    } catch (const ProviderError& e) {
        clearLogDetails();
        toShowConnectionErrors(e);
    }
}

void frmReading::cmdImport_Click()
{
    Progress::setBusy(true);
    if (lstXlsFiles->count() == 0) {
        MsgBox::show(QStringLiteral("No Xls files present in the List to Import"), MsgBox::Information, title());
    } else if (lstXlsFiles->selectedItems().isEmpty()) {
        MsgBox::show(QStringLiteral("Select one or more file(s) to import"), MsgBox::Information, title());
    } else {
        Progress::setText(QStringLiteral("Importing Survey File(s)......"));
        // A run the database stopped has said so in its one message.
        if (toreadFromXlsFile())
            MsgBox::show(QStringLiteral("Import Done...."), MsgBox::Information, title());
        Progress::setText(QString());
    }
    Progress::setBusy(false);
}

bool frmReading::toreadFromXlsFile()
{
    ReturnedWorkbookStore store;
    QStringList notRead;
    const int count = lstXlsFiles->count();
    for (int i = 0; i < count; ++i) {
        const QListWidgetItem* entry = lstXlsFiles->item(i);
        if (!entry->isSelected())
            continue;
        if (store.stopped()) {
            notRead << QDir::fromNativeSeparators(entry->text());
            continue;
        }
        // A workbook that cannot be read says so; the entries after it are read all the same.
        store.XLSWrite(QDir::fromNativeSeparators(entry->text()), fileNameOf(entry->text()));
        // The windows and the status text keep painting while many workbooks are read.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    store.finish(notRead);
    return !store.stopped();
}

void frmReading::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmReading);
}

void frmReading::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}
