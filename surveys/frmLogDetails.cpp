#include "surveys/frmLogDetails.h"

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/mail/MailClient.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ValueFormat.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/ProgramReport.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"
#include "surveys/SurveyLists.h"
#include "surveys/SurveyStore.h"
#include "surveys/distribution/DistributionStore.h"
#include "surveys/frmMessage.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

QPointer<frmLogDetails> frmLogDetails::s_instance;

namespace
{

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QString title()
{
    return QLatin1String(frmLogDetails::kTitle);
}

// A listed name is a file of the program's folder only when it names one plainly: no folder part.
bool plainFileName(const QString& name)
{
    const QString t = name.trimmed();
    return !t.isEmpty() && !t.contains(QLatin1Char('/')) && t != QLatin1String(".") && t != QLatin1String("..");
}

const char* const WorkbookFilter = "*.xlsx|*.xlsx|*.xlsx";
const char* const DeleteFilter = "All Files (*.xlsx)|*.xlsx";

} // namespace

frmLogDetails::frmLogDetails(QWidget* parent) : QWidget(parent)
{
    s_instance = this;
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Email Survey Files"));
    setFixedSize(680, 440);

    Label1 = new QLabel(QStringLiteral("Select Customer "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 18, 110, 22);
    cmbCustomer = new QComboBox(this);
    cmbCustomer->setObjectName(QStringLiteral("cmbCustomer"));
    cmbCustomer->setGeometry(130, 16, 300, 26);

    lsvDtls = new QTreeWidget(this);
    lsvDtls->setObjectName(QStringLiteral("lsvDtls"));
    lsvDtls->setGeometry(16, 54, 648, 292);
    lsvDtls->setColumnCount(4);
    lsvDtls->setHeaderLabels({QStringLiteral("Survey File"), QStringLiteral("Survey Date"),
                              QStringLiteral("Respondent Name"), QStringLiteral("File ReadIN")});
    lsvDtls->setRootIsDecorated(false);
    lsvDtls->setItemsExpandable(false);
    lsvDtls->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lsvDtls->setAllColumnsShowFocus(true);
    lsvDtls->setUniformRowHeights(true);
    lsvDtls->header()->setSectionsMovable(false);
    lsvDtls->header()->setStretchLastSection(false);
    // Four columns of equal width across the list.
    const int column = (lsvDtls->width() - 2 * lsvDtls->frameWidth()) / 4;
    for (int c = 0; c < 4; ++c)
        lsvDtls->setColumnWidth(c, column);
    lsvDtls->installEventFilter(this);

    Label2 = new QLabel(QStringLiteral("Double 'Click' or Press 'Enter' to Open the selected file."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(16, 350, 648, 22);

    cmdmail = makeButton(this, "cmdmail", QStringLiteral("&E-mail"));
    cmdStandardMessage = makeButton(this, "cmdStandardMessage", QStringLiteral("&Set Standard Mail Message"));
    cmdHelp = makeButton(this, "cmdHelp", QStringLiteral("&Help"));
    cmdDelete = makeButton(this, "cmdDelete", QStringLiteral("&Delete"));
    cmdPrint = makeButton(this, "cmdPrint", QStringLiteral("&Print"));
    cmdClose = makeButton(this, "cmdClose", QStringLiteral("&Close"));
    int x = 16;
    for (QPushButton* b : {cmdmail, cmdStandardMessage, cmdHelp, cmdDelete, cmdPrint, cmdClose}) {
        const int w = b == cmdStandardMessage ? 188 : 84;
        b->setGeometry(x, 392, w, 30);
        x += w + 8;
    }

    crptReport = new ReportControl(this);
    crptReport->setObjectName(QStringLiteral("crptReport"));

    connect(cmbCustomer, &QComboBox::currentIndexChanged, this, &frmLogDetails::cmbCustomer_Click);
    connect(lsvDtls, &QTreeWidget::itemDoubleClicked, this, &frmLogDetails::lsvDtls_DblClick);
    connect(cmdmail, &QPushButton::clicked, this, &frmLogDetails::cmdmail_Click);
    connect(cmdStandardMessage, &QPushButton::clicked, this, &frmLogDetails::cmdStandardMessage_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmLogDetails::cmdHelp_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmLogDetails::cmdDelete_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmLogDetails::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmLogDetails::cmdClose_Click);
}

frmLogDetails::~frmLogDetails() = default;

frmLogDetails* frmLogDetails::instance()
{
    return s_instance.data();
}

void frmLogDetails::Form_Load()
{
    toCenterForm(this);
    toFillCustomerList();
    mMapiPresent = false;
    if (cmbCustomer->count() > 0)
        cmbCustomer->setCurrentIndex(0);
}

void frmLogDetails::toFillCustomerList()
{
    QStringList names;
    try {
        toTestConnection();
        names = SurveyStore::customers();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
    SurveyLists::refill(cmbCustomer, names);
}

void frmLogDetails::cmbCustomer_Click()
{
    if (cmbCustomer->currentIndex() >= 0)
        toFillListView();
}

QString frmLogDetails::customerName() const
{
    return SurveyLists::chosenText(cmbCustomer);
}

void frmLogDetails::toFillListView()
{
    lsvDtls->clear();
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(QStringLiteral("select xlsfilename, sdate, respname, Status, respid from log "
                                              "where custname=? order by rowid"),
                               {customerName()});
        while (q.next()) {
            const QVariant date = q.value(1);
            const QVariant status = q.value(3);
            const QDate d = date.isNull() ? QDate() : ValueFormat::toDate(date);
            auto* row = new QTreeWidgetItem(lsvDtls);
            row->setText(0, q.value(0).toString());
            row->setText(1, d.isValid() ? ValueFormat::formatDate(d) : date.toString());
            row->setText(2, q.value(2).toString());
            row->setText(3, status.isNull() ? QString()
                                            : (status.toInt() != 0 ? QStringLiteral("Yes") : QStringLiteral("No")));
            // The row's own respondent: two respondents of one customer may share the listed name.
            row->setData(0, Qt::UserRole, q.value(4).isNull() ? 0 : q.value(4).toInt());
        }
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e, QStringLiteral("Error :"));
    }
}

QList<QTreeWidgetItem*> frmLogDetails::selectedRows() const
{
    QList<QTreeWidgetItem*> rows;
    const int n = lsvDtls->topLevelItemCount();
    for (int i = 0; i < n; ++i)
        if (lsvDtls->topLevelItem(i)->isSelected())
            rows << lsvDtls->topLevelItem(i);
    return rows;
}

// E-mail ---------------------------------------------------------------------------------------------------------

void frmLogDetails::cmdmail_Click()
{
    Progress::setBusy(true);
    sendmail();
    Progress::setBusy(false);
}

bool frmLogDetails::toCheckMapiKey()
{
    mMapiPresent = MailClient::isAvailable();
    return mMapiPresent;
}

void frmLogDetails::sendmail()
{
    if (!toCheckMapiKey()) {
        MsgBox::show(QLatin1String(DistributionStore::kNoMailClient), MsgBox::Critical, title());
        return;
    }
    for (const QTreeWidgetItem* row : selectedRows())
        if (!mailRow(row))
            return;
    mMapiPresent = false;
}

// One message per selected workbook; false when the run is to end here.
bool frmLogDetails::mailRow(const QTreeWidgetItem* row)
{
    const QString fileName = row->text(0);
    MailMessage message;
    message.subject = QLatin1String(DistributionStore::kSubject);
    message.body = toGetStandardMessage(customerName());
    if (message.body.isEmpty())
        message.body = QStringLiteral(".");
    if (toCheckFileExists(fileName))
        message.attachment = programFile(fileName);
    else if (!locateForMail(fileName, &message.attachment))
        return false;
    message.recipient = toGetRespondentEmail(row->text(2), customerName(), row->data(0, Qt::UserRole).toInt());
    if (message.recipient.isEmpty()) {
        message.recipient = QStringLiteral("No email address found");
    } else if (!MailClient::isPlainAddress(message.recipient)) {
        // Nothing goes to this respondent; the other selected workbooks are still mailed.
        MsgBox::show(QLatin1String(DistributionStore::kNotPlainAddress).arg(row->text(2)), MsgBox::Critical, title());
        return true;
    }

    QString error;
    // A hand-over that fails after it was taken as done is reported as one that fails at once.
    if (!MailClient::compose(message, &error, [](const QString& late) { MsgBox::show(late); })) {
        MsgBox::show(error);
        return false;
    }
    return true;
}

// A workbook that is not in the program's folder: the user points at it, under the same name.
bool frmLogDetails::locateForMail(const QString& fileName, QString* path)
{
    MsgBox::show(fileName + QStringLiteral(" file not found in the Home directory..Kindly locate the file to attach"),
                 MsgBox::Information, title());
    const QString chosen = MsgBox::getOpenFileName(QString(), programFolder(), QLatin1String(WorkbookFilter));
    if (chosen.isEmpty()) {
        MsgBox::show(QStringLiteral("Process cancelled..."), MsgBox::Information, title());
        return false;
    }
    if (QFileInfo(chosen).fileName().trimmed() != fileName.trimmed()) {
        MsgBox::show(QStringLiteral("Wrong Survey file selected....."), MsgBox::Critical, title());
        return false;
    }
    *path = chosen;
    return true;
}

bool frmLogDetails::toCheckFileExists(const QString& name) const
{
    return plainFileName(name) && QFileInfo(programFile(name)).isFile();
}

QString frmLogDetails::toGetRespondentEmail(const QString& respondentName, const QString& customerName,
                                            int respondentId)
{
    return DistributionStore::toGetRespondentEmail(respondentName, customerName, respondentId);
}

// Standard message -------------------------------------------------------------------------------------------------

void frmLogDetails::cmdStandardMessage_Click()
{
    frmMessage message(this);
    message.Form_Load();
    message.exec();
}

QString frmLogDetails::toGetStandardMessage(const QString& customerName)
{
    return DistributionStore::toGetStandardMessage(customerName);
}

void frmLogDetails::toWriteStandardMessage(const QString& text)
{
    DistributionStore::toWriteStandardMessage(customerName(), text);
}

// Deleting ----------------------------------------------------------------------------------------------------------

void frmLogDetails::cmdDelete_Click()
{
    if (lsvDtls->topLevelItemCount() > 0) {
        Progress::setText(QStringLiteral("Deleting Survey File...."));
        for (const QTreeWidgetItem* row : selectedRows()) {
            const QString fileName = row->text(0);
            if (MsgBox::show(QStringLiteral("Are you sure you want to delete the Survey File - ") + fileName,
                             MsgBox::YesNo, title()) != MsgBox::Yes) {
                Progress::setText(QStringLiteral("Deletion Cancelled......"));
                continue;
            }
            if (!toCheckFileExists(fileName)) {
                locateForDelete(fileName);
                return;
            }
            QString error;
            if (!deleteFile(programFile(fileName), &error)) {
                Progress::setText(QString());
                MsgBox::show(error);
                toFillListView();
                return;
            }
            toDeleteLogEntry(fileName);
        }
        toFillListView();
    }
    Progress::setText(QString());
}

bool frmLogDetails::deleteFile(const QString& path, QString* error) const
{
    QFile file(path);
    if (file.remove())
        return true;
    *error = QStringLiteral("%1 could not be deleted: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

// The workbook is not in the program's folder: the user points at it to delete it there.
void frmLogDetails::locateForDelete(const QString& fileName)
{
    Progress::setText(QString());
    for (;;) {
        if (MsgBox::show(fileName + QStringLiteral(" Survey File not found in the Current Directory......Kindly locate "
                                                   "the file to Delete"),
                         MsgBox::OkCancel, title()) == MsgBox::Cancel)
            return;
        const QString chosen = MsgBox::getOpenFileName(QString(), programFolder(), QLatin1String(DeleteFilter));
        if (chosen.isEmpty() && !fileName.trimmed().isEmpty()) {
            // Nothing to point at: the file is gone already, and so its log entry goes.
            toDeleteLogEntry(fileName);
            toFillListView();
            return;
        }
        if (QFileInfo(chosen).fileName().trimmed() == fileName.trimmed()) {
            if (chosen.isEmpty())
                continue;
            QString error;
            if (deleteFile(chosen, &error))
                toDeleteLogEntry(fileName);
            else
                MsgBox::show(error);
            toFillListView();
            return;
        }
        MsgBox::show(QStringLiteral("Invalid Survey File Selected ..You must select ") + fileName +
                         QStringLiteral(" Survey File to Delete"),
                     MsgBox::RetryCancel, title());
        return;
    }
}

void frmLogDetails::toDeleteLogEntry(const QString& fileName)
{
    try {
        toTestConnection();
        Db::exec(QStringLiteral("delete from log where xlsfilename=?"), {fileName});
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

// Printing, opening, help -----------------------------------------------------------------------------------------

void frmLogDetails::cmdPrint_Click()
{
    Progress::setBusy(true);
    if (lsvDtls->topLevelItemCount() > 0) {
        Progress::setText(QStringLiteral("Generating Report....."));
        runProgramReport(crptReport, QStringLiteral("log.rpt"), QStringLiteral("Log Details"),
                         QStringLiteral("{log.custname}='") + customerName() + QLatin1Char('\''));
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

void frmLogDetails::lsvDtls_DblClick()
{
    Progress::setBusy(true);
    for (const QTreeWidgetItem* row : selectedRows()) {
        Progress::setText(QStringLiteral("Generating XLS File....."));
        const QString path = programFile(row->text(0));
        const auto notOpened = [path](const QString& failure) {
            MsgBox::show(QStringLiteral("%1 could not be opened: %2.").arg(QDir::toNativeSeparators(path), failure));
        };
        QString failure;
        if (!toCheckFileExists(row->text(0)))
            failure = QStringLiteral("the file does not exist");
        else
            Desktop::openFile(path, &failure, notOpened);
        if (!failure.isEmpty()) {
            Progress::setText(QString());
            notOpened(failure);
            break;
        }
        Progress::setText(QString());
    }
    Progress::setBusy(false);
}

void frmLogDetails::lsvDtls_KeyDown(int keyCode)
{
    if (keyCode == 13)
        lsvDtls_DblClick();
}

bool frmLogDetails::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lsvDtls && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            lsvDtls_KeyDown(13);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmLogDetails::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmLogDetails);
}

void frmLogDetails::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}
