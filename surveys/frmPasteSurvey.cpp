#include "surveys/frmPasteSurvey.h"

#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "platform/lists/ChoiceList.h"
#include "shell/Db.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/Transaction.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"
#include "surveys/SurveyEditor.h"
#include "surveys/SurveyLists.h"
#include "surveys/SurveyStore.h"
#include "surveys/SurveyWindows.h"
#include "surveys/frmEditExistingSurvey.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>

frmPasteSurvey::frmPasteSurvey(const SurveyKey& target, QWidget* opener, QWidget* parent)
    : QDialog(parent), m_target(target), m_opener(opener)
{
    setObjectName(QStringLiteral("frmPasteSurvey"));
    setWindowTitle(QStringLiteral("Existing Survey..."));
    setFixedSize(760, 460);

    Label1 = makeControl<QLabel>(this, "Label1", QRect(10, 8, 220, 18));
    Label1->setText(QStringLiteral("Select Customer"));
    cmbCustomer = makeControl<QComboBox>(this, "cmbCustomer", QRect(10, 28, 220, 26));
    Label2 = makeControl<QLabel>(this, "Label2", QRect(10, 64, 220, 18));
    Label2->setText(QStringLiteral("Select Respondent "));
    lstRespondent = makeControl<ChoiceList>(this, "lstRespondent", QRect(10, 84, 220, 150));
    Label3 = makeControl<QLabel>(this, "Label3", QRect(10, 244, 220, 18));
    Label3->setText(QStringLiteral("Select from  Available Date(s)"));
    lstSurvetDates = makeControl<ChoiceList>(this, "lstSurvetDates", QRect(10, 264, 220, 146));
    grdParamAndQuest = makeControl<FlexGrid>(this, "grdParamAndQuest", QRect(240, 28, 510, 382));
    cmdPaste = makeControl<QPushButton>(this, "cmdPaste", QRect(560, 422, 90, 28));
    cmdPaste->setText(QStringLiteral("&Ok"));
    cmdPaste->setAutoDefault(false);
    cmdClose = makeControl<QPushButton>(this, "cmdClose", QRect(660, 422, 90, 28));
    cmdClose->setText(QStringLiteral("&Close"));
    cmdClose->setAutoDefault(false);
    txtCustomer = makeControl<QLineEdit>(this, "txtCustomer", QRect(0, 0, 10, 10));
    txtRespondent = makeControl<QLineEdit>(this, "txtRespondent", QRect(0, 0, 10, 10));
    txtSurveyDate = makeControl<QLineEdit>(this, "txtSurveyDate", QRect(0, 0, 10, 10));
    txtCustomer->setText(target.customer);
    txtRespondent->setText(target.respondent);
    txtSurveyDate->setText(SurveyStore::dateText(target.date));
    for (QLineEdit* hidden : {txtCustomer, txtRespondent, txtSurveyDate})
        hidden->hide();

    connect(cmbCustomer, &QComboBox::currentIndexChanged, this, &frmPasteSurvey::cmbCustomer_Click);
    connect(lstRespondent, &QListWidget::itemSelectionChanged, this, &frmPasteSurvey::lstRespondent_Click);
    connect(lstSurvetDates, &QListWidget::itemSelectionChanged, this, &frmPasteSurvey::lstSurvetDates_Click);
    connect(cmdPaste, &QPushButton::clicked, this, &frmPasteSurvey::cmdPaste_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmPasteSurvey::cmdClose_Click);

    // Form_Load: 1000 twips from the top, 500 from the left of the screen.
    move(qRound(500.0 / FlexGrid::TwipsPerPixel), qRound(1000.0 / FlexGrid::TwipsPerPixel));
    FlexGrid* g = grdParamAndQuest;
    g->setCols(3);
    g->setRows(2);
    g->setTextMatrix(0, 1, QStringLiteral("Parameter"));
    g->setTextMatrix(0, 2, QStringLiteral("Question"));
    const double width = g->width() * FlexGrid::TwipsPerPixel;
    const double parts[] = {0.05, 0.2, 0.7};
    for (int c = 0; c < 3; ++c)
        g->setColWidth(c, static_cast<int>(std::nearbyint(width * parts[c])));
    g->setRow(0);
    for (int c = 1; c < g->cols(); ++c) {
        g->setCol(c);
        g->setCellAlignment(FlexGrid::AlignCenterCenter);
    }
    g->setRow(1);
    g->setCol(1);
    // The survey being composed is not offered as its own source.
    if (gPasteForNewSurvey) {
        selRespondent = target.respondent;
        m_ownRespondentId = targetRespondentId();
    }
    toFillCustomerList();
    if (cmbCustomer->count() > 0)
        cmbCustomer->setCurrentIndex(0);
    if (lstSurvetDates->count() > 0 && lstSurvetDates->selectedItems().isEmpty())
        lstSurvetDates->setCurrentRow(0);
}

frmPasteSurvey::~frmPasteSurvey()
{
    if (!m_emptied)
        toDeleteCopyDeteails();
}

QString frmPasteSurvey::sourceCustomer() const
{
    return SurveyLists::chosenText(cmbCustomer);
}

QString frmPasteSurvey::sourceRespondent() const
{
    return SurveyLists::selectedText(lstRespondent);
}

QDate frmPasteSurvey::sourceDate() const
{
    return SurveyLists::selectedDate(lstSurvetDates);
}

SurveyKey frmPasteSurvey::sourceSurvey() const
{
    return SurveyKey{sourceCustomer(), sourceRespondent(), sourceDate(), SurveyLists::selectedId(lstRespondent)};
}

void frmPasteSurvey::toFillCustomerList()
{
    try {
        toTestConnection();
        SurveyLists::refill(cmbCustomer, SurveyStore::customersWithSurveys());
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmPasteSurvey::cmbCustomer_Click()
{
    if (cmbCustomer->currentIndex() != -1)
        toFillRespondentList();
}

void frmPasteSurvey::toFillRespondentList()
{
    try {
        toTestConnection();
        SurveyLists::refill(lstRespondent, SurveyStore::respondentsOf(sourceCustomer()));
        if (lstRespondent->count() > 0)
            lstRespondent->setCurrentRow(0);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmPasteSurvey::lstRespondent_Click()
{
    if (lstRespondent->count() == 0)
        return;
    toFillSurveyDateList();
    toRefreshGrid();
    if (lstSurvetDates->count() > 0)
        lstSurvetDates->setCurrentRow(0);
}

void frmPasteSurvey::toFillSurveyDateList()
{
    try {
        toTestConnection();
        const int custid = toGetCustomerID(sourceCustomer());
        const int respid = SurveyStore::respondentId(custid, sourceSurvey());
        // By id: another respondent of the same name is not the one whose survey is being made.
        const bool own = m_ownRespondentId != 0 && respid == m_ownRespondentId;
        const QSignalBlocker blocker(lstSurvetDates);
        lstSurvetDates->clear();
        for (const QDate& d : SurveyStore::surveyDates(custid, respid)) {
            if (!own || d != m_target.date)
                SurveyLists::addDate(lstSurvetDates, d);
        }
        lstSurvetDates->setCurrentRow(-1);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmPasteSurvey::lstSurvetDates_Click()
{
    toRefreshGrid();
}

int frmPasteSurvey::targetRespondentId() const
{
    if (m_target.respondentId != 0)
        return m_target.respondentId;
    try {
        toTestConnection();
        return SurveyStore::respondentId(toGetCustomerID(m_target.customer), m_target);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return 0;
    }
}

void frmPasteSurvey::setBlankGrid()
{
    grdParamAndQuest->setRows(2);
    grdParamAndQuest->setTextMatrix(1, 1, QString());
    grdParamAndQuest->setTextMatrix(1, 2, QString());
}

void frmPasteSurvey::toRefreshGrid()
{
    // No source date chosen: no source's questions on show, so that "&Ok" asks for a date.
    if (lstSurvetDates->count() == 0 || !sourceDate().isValid()) {
        setBlankGrid();
        return;
    }
    try {
        toTestConnection();
        QList<SurveyStore::Question> list;
        const SurveyStore::Lookup found = SurveyStore::findSurveyQuestions(sourceSurvey(), &list);
        if (found == SurveyStore::Lookup::Missing)
            setBlankGrid();
        if (found != SurveyStore::Lookup::Found)
            return;
        setBlankGrid();
        grdParamAndQuest->setRows(static_cast<int>(list.size()) + 2);
        for (int i = 0; i < list.size(); ++i) {
            grdParamAndQuest->setTextMatrix(i + 1, 1, list[i].parameter);
            grdParamAndQuest->setTextMatrix(i + 1, 2, list[i].question);
        }
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmPasteSurvey::cmdPaste_Click()
{
    Progress::setBusy(true);
    if (grdParamAndQuest->textMatrix(1, 1).trimmed().isEmpty()) {
        Progress::setBusy(false);
        if (lstSurvetDates->selectedItems().isEmpty())
            MsgBox::show(QStringLiteral("Select a Survey Date to import...."), MsgBox::Critical,
                         QLatin1String(SurveyEditor::kTitle));
        gPastePending = false;
        return;
    }
    const bool copied = toPasteInOneTransaction();
    Progress::setBusy(false);
    // A copy that did not go through leaves the window open for another try and hands nothing back.
    if (copied)
        handBack();
    else
        gPastePending = false;
}

bool frmPasteSurvey::toPasteInOneTransaction()
{
    try {
        toTestConnection();
        const int targetCustid = toGetCustomerID(m_target.customer);
        const int targetRespid = SurveyStore::respondentId(targetCustid, m_target);
        const SurveyKey source = sourceSurvey();
        const int sourceCustid = toGetCustomerID(source.customer);
        const int sourceRespid = SurveyStore::respondentId(sourceCustid, source);
        const int sourceSurveyid = SurveyStore::surveyId(source.date, sourceCustid);
        const QString nothing = QStringLiteral("Nothing was imported.");
        if (targetRespid == 0 || !m_target.date.isValid())
            throw SurveyStore::notFound(QStringLiteral("to import into"), m_target, nothing);
        if (sourceRespid == 0 || sourceSurveyid == 0)
            throw SurveyStore::notFound(QStringLiteral("to import from"), source, nothing);
        Transaction t;
        toSaveTheCopyDetails(targetCustid, targetRespid, sourceSurveyid);
        toPasteCopyDetails(sourceRespid, sourceSurveyid);
        t.commit();
        return true;
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return false;
    }
}

void frmPasteSurvey::toSaveTheCopyDetails(int targetCustid, int targetRespid, int sourceSurveyid)
{
    Db::exec(QStringLiteral("delete from copydetails"));
    Db::exec(QStringLiteral("insert into copydetails (custid, sdate, respid, surveyid) values (?, ?, ?, ?)"),
             {targetCustid, m_target.date, targetRespid, sourceSurveyid});
}

void frmPasteSurvey::toPasteCopyDetails(int sourceRespid, int sourceSurveyid)
{
    QSqlQuery details = Db::exec(QStringLiteral("select custid, respid from copydetails"));
    if (!details.next())
        return;
    const int targetCustid = details.value(0).toInt();
    const int targetRespid = details.value(1).toInt();
    details.finish();
    const int targetSurveyid = SurveyStore::ensureSurvey(m_target.date, targetCustid);
    SurveyStore::appendMissing(sourceRespid, sourceSurveyid, targetRespid, targetSurveyid);
}

void frmPasteSurvey::handBack()
{
    if (!gPasteForNewSurvey) {
        if (auto* editor = qobject_cast<frmEditExistingSurvey*>(m_opener.data()))
            editor->toRefreshGrid();
        accept();
        if (frmSelectSurvey* chooser = SurveyWindows::selectSurvey())
            SurveyWindows::unload(chooser);
        return;
    }
    frmSelectSurvey* chooser = SurveyWindows::selectSurvey();
    if (!chooser) {
        // Opened from the composition window after the chooser was closed: show the target there directly.
        accept();
        if (auto* composer = qobject_cast<frmNewSurvey*>(m_opener.data())) {
            composer->setWindowTitle(QStringLiteral("Edit Selected Survey"));
            composer->toRefreshGrid();
        }
        return;
    }
    // The chooser is set to the whole target, so that its test, the caption and the window's survey agree.
    chooser->toSelectSurvey(m_target);
    gPastePending = true;
    accept();
    SurveyWindows::newSurvey()->setWindowTitle(QStringLiteral("Edit Selected Survey"));
    chooser->cmdBlankSurvey->click();
}

void frmPasteSurvey::toDeleteCopyDeteails()
{
    m_emptied = true;
    try {
        toTestConnection();
        Db::exec(QStringLiteral("delete from copydetails"));
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmPasteSurvey::cmdClose_Click()
{
    reject();
}

void frmPasteSurvey::done(int result)
{
    toDeleteCopyDeteails();
    QDialog::done(result);
}
