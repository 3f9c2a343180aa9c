#pragma once

#include <QWidget>

class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;

// A report window over one customer and a range of dates (the satisfaction overview and the improvement plan):
// the customer list, the From and To pickers set to today, and Report, Help and Close.
class CustomerRangeWindow : public QWidget
{
    Q_OBJECT

public:
    QGroupBox* Frame2 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* cmbCustomer = nullptr;
    QLabel* Label5 = nullptr;
    QDateEdit* dtFrom = nullptr;
    QLabel* Label6 = nullptr;
    QDateEdit* dtTo = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;

    void Form_Load();
    void toFillCustomerList();
    virtual void cmdPrint_Click() = 0;
    void cmdHelp_Click();
    void cmdClose_Click();

protected:
    CustomerRangeWindow(const char* name, const QString& caption, int helpContext, QWidget* parent);

private:
    int m_helpContext = 0;
};
