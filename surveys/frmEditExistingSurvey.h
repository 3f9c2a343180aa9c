#pragma once

#include "platform/lists/ChoiceList.h"
#include "surveys/SurveyEditor.h"
#include "surveys/distribution/SurveyDistribution.h"

class QComboBox;

// The existing-survey window: the same tools as the composition window, on the survey selected in its own
// lists of customers, respondents and dates; the Delete key on the date list deletes a survey date.
class frmEditExistingSurvey : public SurveyEditor
{
    Q_OBJECT

public:
    explicit frmEditExistingSurvey(QWidget* parent = nullptr);
    void Form_Load() override;

    QComboBox* cmbCustomer = nullptr;
    ChoiceList* lstRespondent = nullptr;
    ChoiceList* lstSurvetDates = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;

    void toFillCustomerList();
    void toFillRespondentList();
    void toFillSurveyDateList();
    void cmbCustomer_Click();
    void lstRespondent_Click();
    void lstSurvetDates_Click();
    void lstSurvetDates_KeyDown(int key);
    void toDeleteSurvey();
    void toDeleteEmptySurvey();

    QString toGetRespondentID(const QString& name);
    QString toGetLogFileName();
    bool toCheckDuplicateFileName(const QString& name);
    void cmdCopy_Click() override;

    QString customerName() const override;
    QString respondentName() const override;
    int respondentId() const override;
    QDate surveyDate() const override;

protected:
    bool toRefreshGridPrecheck() override;
    bool toCheckAddAllowed() override;
    bool refusesParameterItem() const override { return true; }
    bool mayStoreEmptyList() const override;
    int helpContext() const override { return 202; }
    QString reportTitle() const override { return QLatin1String(SurveyDistribution::kExistingSurveyReportTitle); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectFirstDate();
};
