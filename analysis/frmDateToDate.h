#pragma once

#include "platform/lists/ChoiceList.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

// "Survey Response": prints every answer that the respondents of one customer gave on one survey date, through the
// scratch table `report` and "surveyresponse.rpt".
class frmDateToDate : public QWidget
{
    Q_OBJECT

public:
    explicit frmDateToDate(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QComboBox* cmbCustomer = nullptr;
    QLabel* Label2 = nullptr;
    ChoiceList* lstSurveyDate = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;

    void Form_Load();
    void toFillCustomerList();
    void cmbCustomer_Click();
    void toFillSurveyDates();
    void cmdPrint_Click();
    void toFillReporttable();
    void cmdHelp_Click();
    void cmdClose_Click();
};
