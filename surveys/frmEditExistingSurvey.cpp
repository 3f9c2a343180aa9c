#include "surveys/frmEditExistingSurvey.h"

#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "platform/lists/ChoiceList.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/Transaction.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"
#include "surveys/SurveyLists.h"
#include "surveys/SurveyWindows.h"
#include "surveys/export/SurveyExport.h"
#include "surveys/frmPasteSurvey.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>

namespace
{

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* l = makeControl<QLabel>(parent, name, geometry);
    l->setText(text);
    return l;
}

} // namespace

frmEditExistingSurvey::frmEditExistingSurvey(QWidget* parent) : SurveyEditor(parent)
{
    setObjectName(QStringLiteral("frmEditExistingSurvey"));
    setWindowTitle(QStringLiteral("Edit Survey"));
    Label3 = makeLabel(this, "Label3", QStringLiteral("Select Customer"), QRect(10, 8, 250, 18));
    cmbCustomer = makeControl<QComboBox>(this, "cmbCustomer", QRect(10, 28, 250, 26));
    Label7 = makeLabel(this, "Label7", QStringLiteral("Select Respondent "), QRect(280, 8, 250, 18));
    lstRespondent = makeControl<ChoiceList>(this, "lstRespondent", QRect(280, 28, 250, 100));
    Label8 = makeLabel(this, "Label8", QStringLiteral("Select from  Available Date(s)"), QRect(550, 8, 200, 18));
    lstSurvetDates = makeControl<ChoiceList>(this, "lstSurvetDates", QRect(550, 28, 200, 100));
    Label6 = makeLabel(this, "Label6", QStringLiteral("Press 'Delete Key' to delete the selected Survey Date"),
                       QRect(760, 28, 124, 100));
    Label6->setWordWrap(true);
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5 = new QLabel(QStringLiteral("'Double Click'  to remove the selected Row"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    setFixedSize(894, layOutEditor(142));

    connect(cmbCustomer, &QComboBox::currentIndexChanged, this, &frmEditExistingSurvey::cmbCustomer_Click);
    connect(lstRespondent, &QListWidget::itemSelectionChanged, this, &frmEditExistingSurvey::lstRespondent_Click);
    connect(lstSurvetDates, &QListWidget::itemSelectionChanged, this, &frmEditExistingSurvey::lstSurvetDates_Click);
    lstSurvetDates->installEventFilter(this);
}

void frmEditExistingSurvey::Form_Load()
{
    loadEditor();
    toFillCustomerList();
    if (cmbCustomer->count() > 0)
        cmbCustomer->setCurrentIndex(0);
    if (lstSurvetDates->count() > 0 && lstSurvetDates->selectedItems().isEmpty())
        lstSurvetDates->setCurrentRow(0);
    SurveyWindows::registerInstance(this);
}

QString frmEditExistingSurvey::customerName() const
{
    return SurveyLists::chosenText(cmbCustomer);
}

QString frmEditExistingSurvey::respondentName() const
{
    return SurveyLists::selectedText(lstRespondent);
}

int frmEditExistingSurvey::respondentId() const
{
    return SurveyLists::selectedId(lstRespondent);
}

QDate frmEditExistingSurvey::surveyDate() const
{
    return SurveyLists::selectedDate(lstSurvetDates);
}

void frmEditExistingSurvey::toFillCustomerList()
{
    try {
        toTestConnection();
        SurveyLists::refill(cmbCustomer, SurveyStore::customersWithSurveys());
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmEditExistingSurvey::cmbCustomer_Click()
{
    if (cmbCustomer->currentIndex() != -1)
        toFillRespondentList();
}

void frmEditExistingSurvey::toFillRespondentList()
{
    try {
        toTestConnection();
        SurveyLists::refill(lstRespondent, SurveyStore::respondentsOf(customerName()));
        if (lstRespondent->count() > 0) {
            lstRespondent->setCurrentRow(0);
        } else {
            // Nobody left to show a survey of.
            const QSignalBlocker blocker(lstSurvetDates);
            lstSurvetDates->clear();
            setBlankGrid();
        }
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmEditExistingSurvey::lstRespondent_Click()
{
    if (lstRespondent->count() == 0)
        return;
    toFillSurveyDateList();
    selectFirstDate();
    toRefreshGrid();
}

void frmEditExistingSurvey::selectFirstDate()
{
    if (lstSurvetDates->count() > 0)
        lstSurvetDates->setCurrentRow(0);
}

void frmEditExistingSurvey::toFillSurveyDateList()
{
    try {
        toTestConnection();
        const int custid = toGetCustomerID(customerName());
        const QList<QDate> dates = SurveyStore::surveyDates(custid, storedRespondentId(custid));
        const QSignalBlocker blocker(lstSurvetDates);
        lstSurvetDates->clear();
        for (const QDate& d : dates)
            SurveyLists::addDate(lstSurvetDates, d);
        lstSurvetDates->setCurrentRow(-1);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmEditExistingSurvey::lstSurvetDates_Click()
{
    toRefreshGrid();
}

bool frmEditExistingSurvey::toRefreshGridPrecheck()
{
    // Without a chosen date no survey's questions are on show, so that nothing can be removed or moved unstored.
    if (lstSurvetDates->count() == 0 || !surveyDate().isValid()) {
        setBlankGrid();
        return false;
    }
    return true;
}

bool frmEditExistingSurvey::toCheckAddAllowed()
{
    const int style = MsgBox::Critical + MsgBox::Information;
    if (lstSurvetDates->count() == 0) {
        Progress::setBusy(false);
        MsgBox::show(QStringLiteral("No Survey Date available......"), style, QLatin1String(kTitle));
        return false;
    }
    if (lstSurvetDates->selectedItems().isEmpty()) {
        Progress::setBusy(false);
        MsgBox::show(QStringLiteral("No Survey Date selected......Select one and proceed....."), style,
                     QLatin1String(kTitle));
        return false;
    }
    return true;
}

bool frmEditExistingSurvey::mayStoreEmptyList() const
{
    return lstSurvetDates->count() > 0 && surveyDate().isValid();
}

QString frmEditExistingSurvey::toGetRespondentID(const QString& name)
{
    try {
        toTestConnection();
        // The selected respondent is taken by its entry's id; another name by the name.
        const SurveyKey respondent =
            name == respondentName() ? survey() : SurveyKey{customerName(), name, surveyDate()};
        const int id = SurveyStore::respondentId(toGetCustomerID(customerName()), respondent);
        return id == 0 ? QString() : QString::number(id);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return QString();
    }
}

void frmEditExistingSurvey::cmdCopy_Click()
{
    Progress::setBusy(true);
    Progress::setText(QStringLiteral("Opening Form....."));
    if (lstRespondent->count() == 0) {
        Progress::setBusy(false);
        MsgBox::show(QStringLiteral("No Respondent name present to Edit Survey"), MsgBox::Critical,
                     QLatin1String(kTitle));
    } else if (lstSurvetDates->count() == 0) {
        Progress::setBusy(false);
        MsgBox::show(QStringLiteral("No Survey Date available for the Selected Respondent...Import from other "
                                    "survey cannot be performed.."),
                     MsgBox::Critical, QLatin1String(kTitle));
    } else if (!respondentName().isEmpty() && surveyDate().isValid()) {
        gPasteForNewSurvey = false;
        frmPasteSurvey paste(survey(), this, this);
        Progress::setBusy(false);
        SurveyWindows::runPaste(paste);
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

bool frmEditExistingSurvey::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstSurvetDates && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Qt's code for '.' is 46, the Delete key's code here: it must not start a deletion.
        lstSurvetDates_KeyDown(key == Qt::Key_Delete ? 46 : key == Qt::Key_Period ? 0 : key);
    }
    return SurveyEditor::eventFilter(watched, event);
}

void frmEditExistingSurvey::lstSurvetDates_KeyDown(int key)
{
    if (key == 46) {
        Progress::setText(QStringLiteral("Deletion in Progress...."));
        const QList<QListWidgetItem*> selected = lstSurvetDates->selectedItems();
        if (selected.size() == 1) {
            const int answer =
                MsgBox::show(QStringLiteral("You are about to delete the survey dated ") + selected.first()->text() +
                                 QStringLiteral(" for Customer - ") + customerName() + QStringLiteral("\r\n") +
                                 QStringLiteral("Are you sure you want to delete...?"),
                             MsgBox::YesNo, QLatin1String(kTitle));
            const bool empty = grdParamAndQuest->rows() == 2;
            if (answer != MsgBox::Yes) {
                Progress::setText(QStringLiteral("Deletion Cancelled...."));
            } else if (empty) {
                toDeleteEmptySurvey();
            } else {
                toDeleteSurvey();
                selectFirstDate();
                toRefreshGrid();
            }
        }
    }
    Progress::setText(QString());
}

void frmEditExistingSurvey::toDeleteSurvey()
{
    const SurveyKey key = survey();
    try {
        toTestConnection();
        const int custid = toGetCustomerID(key.customer);
        const int respid = SurveyStore::respondentId(custid, key);
        if (respid == 0 || !key.date.isValid())
            throw SurveyStore::notFound(QStringLiteral("to delete"), key, QStringLiteral("Nothing was deleted."));
        Transaction t;
        SurveyStore::deleteRespondentSurvey(custid, respid, key.date);
        t.commit();
        toFillSurveyDateList();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmEditExistingSurvey::toDeleteEmptySurvey()
{
    // An empty grid does not mean nothing is stored for the date: once its last question is removed, the
    // respondent's answers and log row are still there, and go as with a full grid.
    toDeleteSurvey();
}

// The export's own look-ups, so that the window and the export name and find a workbook alike.
QString frmEditExistingSurvey::toGetLogFileName()
{
    SurveyExportContext context = SurveyDistribution::exportContext(*this);
    return SurveyExport(context).toGetLogFileName();
}

bool frmEditExistingSurvey::toCheckDuplicateFileName(const QString& name)
{
    return SurveyExport::toCheckDuplicateFileName(name);
}
