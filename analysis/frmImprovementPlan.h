#pragma once

#include "shell/gblGlobal.h"

#include <QDate>
#include <QWidget>

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Improvement Plan": the actions agreed with customers, one per customer and plan date, tracked to completion.
// The main window's hidden Edit menu drives the public operations as the list's context menu.
class frmImprovementPlan : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = kMessageTitle;

    explicit frmImprovementPlan(QWidget* parent = nullptr);

    QLabel* Label2 = nullptr;
    QListWidget* lstCusName = nullptr;
    QLabel* Label3 = nullptr;
    QDateEdit* dtdate = nullptr;
    QLabel* Label4 = nullptr;
    QDateEdit* dttargetDate = nullptr;
    QLineEdit* txtDescription = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton* opnComplete = nullptr;
    QRadioButton* opnNotComplete = nullptr;
    QTreeWidget* lsvDtls = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdHelp = nullptr;

    // 1 = mark complete, 2 = mark not complete, 0 = idle; set by the main window before toupdateStatus.
    int StatusMode = 0;

    void Form_Load();
    void Form_Activate();

    // Called by the main window's context menu.
    void toDeleteActionForSelectedCustomer();
    void toFillListView();
    void toupdateStatus();

    void lstCusName_Click();
    void dtdate_CloseUp();
    void lsvDtls_Click();
    void lsvDtls_MouseUp(Qt::MouseButton button, const QPoint& globalPos);
    void cmdSave_Click();
    void cmdClose_Click();
    void cmdHelp_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void toFilllstCustomername();
    void toSaveActionDtls();
    QString toGetActionID(const QString& custname);
    void torefreshOnCustomerNameClick();
    void clearEditFields();
    void showDescription(const QString& text);
    QStringList selectedCustomers() const;
    QList<QDate> selectedPlanDates() const;
    void keepChosenRows(const QList<QDate>& dates);
    void selectCustomer(int row);
    void deleteKeyPressed();

    // The customer whose actions lsvDtls lists; "" for none.
    QString m_listedCustomer;
};
