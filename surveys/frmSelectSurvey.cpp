#include "surveys/frmSelectSurvey.h"

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/help/HelpWindow.h"
#include "platform/lists/ChoiceList.h"
#include "platform/report/ValueFormat.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"
#include "surveys/SurveyEditor.h"
#include "surveys/SurveyLists.h"
#include "surveys/SurveyStore.h"
#include "surveys/SurveyWindows.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmPasteSurvey.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace
{

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int y)
{
    auto* b = makeControl<QPushButton>(parent, name, QRect(290, y, 160, 28));
    b->setText(caption);
    return b;
}

} // namespace

frmSelectSurvey::frmSelectSurvey(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSelectSurvey"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Select"));
    setFixedSize(470, 300);

    Label1 = makeControl<QLabel>(this, "Label1", QRect(20, 18, 250, 20));
    Label1->setText(QStringLiteral("Select Customer"));
    cmbCustomer = makeControl<QComboBox>(this, "cmbCustomer", QRect(20, 40, 250, 26));
    Label2 = makeControl<QLabel>(this, "Label2", QRect(20, 76, 250, 20));
    Label2->setText(QStringLiteral("Select Respondent "));
    lstRespondent = makeControl<ChoiceList>(this, "lstRespondent", QRect(20, 98, 250, 120));
    Label3 = makeControl<QLabel>(this, "Label3", QRect(20, 228, 250, 20));
    Label3->setText(QStringLiteral("Select Survey Date"));
    dtSDate = makeControl<QDateEdit>(this, "dtSDate", QRect(20, 250, 160, 26));
    dtSDate->setCalendarPopup(true);
    dtSDate->setDisplayFormat(ValueFormat::shortDateFormat());
    cmdBlankSurvey = makeButton(this, "cmdBlankSurvey", QStringLiteral("Open &Blank Survey"), 40);
    cmdExistingSurvey = makeButton(this, "cmdExistingSurvey", QStringLiteral("Copy &Existing Survey"), 76);
    cmdHelp = makeButton(this, "cmdHelp", QStringLiteral("&Help"), 212);
    cmdClose = makeButton(this, "cmdClose", QStringLiteral("&Close"), 248);

    connect(cmbCustomer, &QComboBox::currentIndexChanged, this, &frmSelectSurvey::cmbCustomer_Click);
    connect(cmdBlankSurvey, &QPushButton::clicked, this, &frmSelectSurvey::cmdBlankSurvey_Click);
    connect(cmdExistingSurvey, &QPushButton::clicked, this, &frmSelectSurvey::cmdExistingSurvey_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmSelectSurvey::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSelectSurvey::cmdClose_Click);
}

void frmSelectSurvey::Form_Load()
{
    placeWindow();
    dtSDate->setDate(Desktop::today());
    toFillCustomerList();
    if (cmbCustomer->count() > 0)
        cmbCustomer->setCurrentIndex(0);
    SurveyWindows::registerInstance(this);
}

void frmSelectSurvey::placeWindow()
{
    // Centred over the upper 65 per cent of the screen, a little higher than the other windows.
    toCenterForm(this, 0.65);
}

void frmSelectSurvey::toFillCustomerList()
{
    try {
        toTestConnection();
        SurveyLists::refill(cmbCustomer, SurveyStore::customers());
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmSelectSurvey::toFillRespondentList()
{
    try {
        toTestConnection();
        SurveyLists::refill(lstRespondent, SurveyStore::respondentsOf(cmbCustomer->currentText()));
        if (lstRespondent->count() > 0)
            lstRespondent->setCurrentRow(0);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmSelectSurvey::cmbCustomer_Click()
{
    if (cmbCustomer->currentIndex() != -1)
        toFillRespondentList();
}

bool frmSelectSurvey::toCheckSurveyExists(const QDate& date, const QString& customer, const QString& respondent,
                                          int respondentId)
{
    // True when there is NO such survey.
    try {
        toTestConnection();
        const int custid = toGetCustomerID(customer);
        const int respid = SurveyStore::respondentId(custid, SurveyKey{customer, respondent, date, respondentId});
        return !SurveyStore::surveyExists(date, custid, respid);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return false;
    }
}

SurveyKey frmSelectSurvey::selection() const
{
    SurveyKey key;
    key.customer = SurveyLists::chosenText(cmbCustomer);
    // The respondent shown chosen; the list's current entry may be another.
    if (QListWidgetItem* item = lstRespondent->chosenItem()) {
        key.respondent = item->text();
        key.respondentId = item->data(Qt::UserRole).toInt();
    }
    key.date = dtSDate->date();
    return key;
}

void frmSelectSurvey::toSelectSurvey(const SurveyKey& survey)
{
    const QString wanted = survey.customer.trimmed();
    for (int i = 0; i < cmbCustomer->count(); ++i) {
        if (cmbCustomer->itemText(i).trimmed() == wanted) {
            if (cmbCustomer->currentIndex() == i)
                cmbCustomer_Click();
            else
                cmbCustomer->setCurrentIndex(i);
            break;
        }
    }
    SurveyLists::selectRespondent(lstRespondent, survey.respondent, survey.respondentId);
    dtSDate->setDate(survey.date);
}

void frmSelectSurvey::cmdBlankSurvey_Click()
{
    const SurveyKey survey = selection();
    // Nobody to survey: nothing to open, and nothing to store for a customer that is not there.
    if (survey.customer.isEmpty() || survey.respondent.isEmpty()) {
        gPastePending = false;
        return;
    }
    Progress::setBusy(true);
    auto open = [&survey](const QString& caption, bool reload) {
        frmNewSurvey* window = SurveyWindows::newSurvey();
        if (!caption.isEmpty())
            window->setWindowTitle(caption);
        window->toLoadSurvey(survey);
        SurveyWindows::show(window);
        if (reload)
            window->toRefreshGrid();
    };
    if (toCheckSurveyExists(survey.date, survey.customer, survey.respondent, survey.respondentId)) {
        open(QStringLiteral("New Survey"), false);
    } else if (gPastePending) {
        open(QString(), true);
    } else {
        Progress::setBusy(false);
        const int answer =
            MsgBox::show(QStringLiteral("Survey already exists for Selected Survey Date,Customer and Respondent....") +
                             QStringLiteral("\r\n") +
                             QStringLiteral("Do you wish to Edit the same Survey....Press 'Yes' to continue"),
                         68, QLatin1String(SurveyEditor::kTitle));
        if (answer == MsgBox::Yes)
            open(QStringLiteral("Edit Selected Survey"), true);
    }
    gPastePending = false;
    Progress::setBusy(false);
}

void frmSelectSurvey::cmdExistingSurvey_Click()
{
    const SurveyKey survey = selection();
    if (survey.customer.isEmpty() || survey.respondent.isEmpty())
        return;
    gPasteForNewSurvey = true;
    frmPasteSurvey paste(survey, this, this);
    SurveyWindows::runPaste(paste);
    Progress::setBusy(false);
}

void frmSelectSurvey::cmdHelp_Click()
{
    Progress::setBusy(true);
    HelpWindow::showTopic(programFile(HelpWindow::helpFileName()), 201);
    Progress::setBusy(false);
}

void frmSelectSurvey::cmdClose_Click()
{
    SurveyWindows::unload(this);
}

void frmSelectSurvey::closeEvent(QCloseEvent* event)
{
    SurveyWindows::unregisterInstance(this);
    QWidget::closeEvent(event);
}
