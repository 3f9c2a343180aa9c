#pragma once

#include "masterdata/GridRows.h"
#include "platform/grid/GridEditor.h"

#include <QWidget>

class FlexGrid;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Customers and, for the customer selected in the upper grid, their respondents, both edited in place.
class frmCustomer : public QWidget
{
    Q_OBJECT

public:
    explicit frmCustomer(QWidget* parent = nullptr);

    // Run once when the window has its frame, before it is first shown.
    void Form_Load();

    QGroupBox* fraCustomerDtls = nullptr;
    FlexGrid* grdCustomerDtls = nullptr;
    QLineEdit* txtCustomerDtls = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* cmdAddCustomer = nullptr;
    QPushButton* cmdSaveCustomer = nullptr;
    QPushButton* cmdDeleteCustomer = nullptr;
    QGroupBox* fraRespondentDtls = nullptr;
    FlexGrid* grdRespondentDtls = nullptr;
    QLineEdit* txtRespondentDtls = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdAddRespondent = nullptr;
    QPushButton* cmdSaveRespondent = nullptr;
    QPushButton* cmdDeleteRespondent = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;

    void cmdAddCustomer_Click();
    void cmdSaveCustomer_Click();
    void cmdDeleteCustomer_Click();
    void cmdAddRespondent_Click();
    void cmdSaveRespondent_Click();
    void cmdDeleteRespondent_Click();
    void cmdHelp_Click();
    void cmdClose_Click();
    void grdCustomerDtls_Click();

    void SetEditTextBox(int col, int row);
    void SetEditRespondentTextBox(int col, int row);
    void toRefreshCustomerDetails();
    void toRefreshRespondentDetails();

private:
    void buildControls();
    void placeInMainWindow();
    void toSetWidthForCusGrid();
    void toSetWidthForResGrid();
    void toSaveCustomerDtls();
    void toSaveRespondentDetails();
    void toDeleteCustomer();
    void toDeleteRespondentDetails();
    void customerRowMoved(GridEditor::RowMove why);
    void respondentEditorToLastRow();
    void keepRespondentsInStep();

    GridEditor* m_customers = nullptr;
    GridEditor* m_respondents = nullptr;
    // The customer whose respondents the lower grid shows: respondents are saved under it and no other.
    ShownMaster m_shownCustomer;
};
