#pragma once

#include "surveys/SurveyEditor.h"
#include "surveys/SurveyKey.h"
#include "surveys/distribution/SurveyDistribution.h"

class QLabel;

// The composition window: the question list of the one survey named by its three labels.
class frmNewSurvey : public SurveyEditor
{
    Q_OBJECT

public:
    explicit frmNewSurvey(QWidget* parent = nullptr);
    void Form_Load() override;

    QLabel* lblCustomerName = nullptr;
    QLabel* lblRespondentName = nullptr;
    QLabel* lblSurveyDate = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;

    // Names the survey on show; a survey other than the one shown is reloaded from the database.
    void toLoadSurvey(const SurveyKey& survey);

    QString toGetRespondentID();
    void cmdCopy_Click() override;

    QString customerName() const override { return m_survey.customer; }
    QString respondentName() const override { return m_survey.respondent; }
    int respondentId() const override { return m_survey.respondentId; }
    QDate surveyDate() const override { return m_survey.date; }

protected:
    int helpContext() const override { return 201; }
    QString reportTitle() const override { return QLatin1String(SurveyDistribution::kNewSurveyReportTitle); }

private:
    void showSurvey();

    SurveyKey m_survey;
};
