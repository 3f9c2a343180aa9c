#pragma once

#include "platform/lists/ChoiceList.h"
#include "surveys/SurveyKey.h"

#include <QDialog>
#include <QPointer>

class FlexGrid;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The copy window: the user picks a source survey, and "&Ok" appends its questions that the target lacks to the
// target survey, then hands back to the window that opened it. Shown modally.
class frmPasteSurvey : public QDialog
{
    Q_OBJECT

public:
    // target: the survey the questions go into (its respondent by id when it carries one); opener: the window to
    // hand back to.
    frmPasteSurvey(const SurveyKey& target, QWidget* opener, QWidget* parent = nullptr);
    ~frmPasteSurvey() override;

    QComboBox* cmbCustomer = nullptr;
    ChoiceList* lstRespondent = nullptr;
    ChoiceList* lstSurvetDates = nullptr;
    FlexGrid* grdParamAndQuest = nullptr;
    QPushButton* cmdPaste = nullptr;
    QPushButton* cmdClose = nullptr;
    QLineEdit* txtCustomer = nullptr;
    QLineEdit* txtRespondent = nullptr;
    QLineEdit* txtSurveyDate = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;

    QString selRespondent;

    void toFillCustomerList();
    void toFillRespondentList();
    void toFillSurveyDateList();
    void cmbCustomer_Click();
    void lstRespondent_Click();
    void lstSurvetDates_Click();
    void toRefreshGrid();
    void toDeleteCopyDeteails();
    void cmdPaste_Click();
    void cmdClose_Click();

    SurveyKey target() const { return m_target; }

    void done(int result) override;

private:
    QString sourceCustomer() const;
    QString sourceRespondent() const;
    QDate sourceDate() const;
    SurveyKey sourceSurvey() const;
    int targetRespondentId() const;
    void setBlankGrid();
    bool toPasteInOneTransaction();
    void toSaveTheCopyDetails(int targetCustid, int targetRespid, int sourceSurveyid);
    void toPasteCopyDetails(int sourceRespid, int sourceSurveyid);
    void handBack();

    SurveyKey m_target;
    QPointer<QWidget> m_opener;
    // On the new-survey road, the respondent whose survey is being made; 0 otherwise.
    int m_ownRespondentId = 0;
    bool m_emptied = false;
};
