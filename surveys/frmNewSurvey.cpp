#include "surveys/frmNewSurvey.h"

#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"
#include "surveys/SurveyWindows.h"
#include "surveys/frmPasteSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include <QLabel>

namespace
{

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(x, y, w, 22);
    return l;
}

} // namespace

frmNewSurvey::frmNewSurvey(QWidget* parent) : SurveyEditor(parent)
{
    setObjectName(QStringLiteral("frmNewSurvey"));
    Label6 = makeLabel(this, "Label6", QStringLiteral("Customer Name "), 10, 10, 110);
    lblCustomerName = makeLabel(this, "lblCustomerName", QString(), 120, 10, 180);
    Label7 = makeLabel(this, "Label7", QStringLiteral("Respondent Name "), 310, 10, 120);
    lblRespondentName = makeLabel(this, "lblRespondentName", QString(), 430, 10, 180);
    Label8 = makeLabel(this, "Label8", QStringLiteral("Survey Date "), 620, 10, 90);
    lblSurveyDate = makeLabel(this, "lblSurveyDate", QString(), 710, 10, 170);
    for (QLabel* l : {lblCustomerName, lblRespondentName, lblSurveyDate}) {
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
    }
    Label5 = new QLabel(QStringLiteral("'Double Click'  to remove the selected row"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    setFixedSize(894, layOutEditor(44));
}

void frmNewSurvey::Form_Load()
{
    loadEditor();
    if (frmSelectSurvey* chooser = SurveyWindows::selectSurvey())
        m_survey = chooser->selection();
    showSurvey();
    SurveyWindows::registerInstance(this);
}

void frmNewSurvey::showSurvey()
{
    lblCustomerName->setText(m_survey.customer);
    lblRespondentName->setText(m_survey.respondent);
    lblSurveyDate->setText(SurveyStore::dateText(m_survey.date));
}

void frmNewSurvey::toLoadSurvey(const SurveyKey& survey)
{
    const bool other = survey != m_survey;
    m_survey = survey;
    showSurvey();
    if (other)
        toRefreshGrid();
}

QString frmNewSurvey::toGetRespondentID()
{
    try {
        toTestConnection();
        const int id = storedRespondentId(toGetCustomerID(m_survey.customer));
        return id == 0 ? QString() : QString::number(id);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return QString();
    }
}

void frmNewSurvey::cmdCopy_Click()
{
    if (m_survey.customer.isEmpty() || m_survey.respondent.isEmpty() || !m_survey.date.isValid())
        return;
    Progress::setBusy(true);
    Progress::setText(QStringLiteral("Opening Form....."));
    gPasteForNewSurvey = true;
    frmPasteSurvey paste(m_survey, this, this);
    Progress::setBusy(false);
    SurveyWindows::runPaste(paste);
    Progress::setText(QString());
    Progress::setBusy(false);
}
