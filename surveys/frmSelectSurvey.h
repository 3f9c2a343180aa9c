#pragma once

#include "platform/lists/ChoiceList.h"
#include "surveys/SurveyKey.h"

#include <QWidget>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

// The survey chooser: customer, respondent and date, then a blank (or existing) survey or a copy of another.
class frmSelectSurvey : public QWidget
{
    Q_OBJECT

public:
    explicit frmSelectSurvey(QWidget* parent = nullptr);
    // Run once by whoever loads the window, before it is first shown.
    void Form_Load();

    QComboBox* cmbCustomer = nullptr;
    ChoiceList* lstRespondent = nullptr;
    QDateEdit* dtSDate = nullptr;
    QPushButton* cmdBlankSurvey = nullptr;
    QPushButton* cmdExistingSurvey = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;

    void toFillCustomerList();
    void toFillRespondentList();
    // respondentId picks the respondent when it is not 0: two respondents of one customer may share a name.
    bool toCheckSurveyExists(const QDate& date, const QString& customer, const QString& respondent,
                             int respondentId = 0);

    void cmbCustomer_Click();
    void cmdBlankSurvey_Click();
    void cmdExistingSurvey_Click();
    void cmdHelp_Click();
    void cmdClose_Click();

    // The survey selected at this moment ("" for a list without a selection).
    SurveyKey selection() const;
    // Selects a survey's customer (its first entry equal but for surrounding blanks), respondent (by its id when
    // the survey carries one) and date.
    void toSelectSurvey(const SurveyKey& survey);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void placeWindow();
};
