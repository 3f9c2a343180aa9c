#pragma once

#include "shell/gblGlobal.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class ReportControl;

// "Email Survey Files": the survey workbooks produced for one customer, as the log lists them, to open, delete,
// print, and e-mail to their respondents; and the customer's standard mail message.
class frmLogDetails : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = kMessageTitle;

    explicit frmLogDetails(QWidget* parent = nullptr);
    ~frmLogDetails() override;

    // The loaded instance, nullptr when none is: the standard-message window works on its customer.
    static frmLogDetails* instance();

    QLabel* Label1 = nullptr;
    QComboBox* cmbCustomer = nullptr;
    QTreeWidget* lsvDtls = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdmail = nullptr;
    QPushButton* cmdStandardMessage = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdPrint = nullptr;
    ReportControl* crptReport = nullptr;

    // Whether the last e-mail run found a mail client.
    bool mMapiPresent = false;

    void Form_Load();
    void toFillCustomerList();
    void cmbCustomer_Click();
    void toFillListView();

    void cmdmail_Click();
    void sendmail();
    bool toCheckFileExists(const QString& name) const;
    // respondentId, when not 0, picks the respondent among those of that name.
    QString toGetRespondentEmail(const QString& respondentName, const QString& customerName, int respondentId = 0);
    bool toCheckMapiKey();

    void cmdStandardMessage_Click();
    QString toGetStandardMessage(const QString& customerName);
    // Stores frmMessage's text for the customer selected here.
    void toWriteStandardMessage(const QString& text);

    void cmdDelete_Click();
    void toDeleteLogEntry(const QString& fileName);
    void cmdPrint_Click();
    void lsvDtls_DblClick();
    void lsvDtls_KeyDown(int keyCode);
    void cmdHelp_Click();
    void cmdClose_Click();

    // The selected customer's name ("" when there is none).
    QString customerName() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QTreeWidgetItem*> selectedRows() const;
    bool mailRow(const QTreeWidgetItem* row);
    bool locateForMail(const QString& fileName, QString* path);
    bool deleteFile(const QString& path, QString* error) const;
    void locateForDelete(const QString& fileName);

    static QPointer<frmLogDetails> s_instance;
};
