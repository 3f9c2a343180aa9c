#pragma once

#include "shell/gblGlobal.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

// "Read Xls File": returned survey workbooks chosen in a file dialog, listed by their full paths, and the selected
// ones read into the answer tables in list order.
class frmReading : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kTitle = kMessageTitle;

    explicit frmReading(QWidget* parent = nullptr);

    QLabel* Label4 = nullptr;
    QListWidget* lstXlsFiles = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblCustName = nullptr;
    QLabel* lblRespName = nullptr;
    QLabel* lblSDate = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;

    void Form_Load();
    void cmdBrowse_Click();
    void lstXlsFiles_Click();
    void toShowLogDetails(const QString& fileName);
    void cmdImport_Click();
    // False when the database stopped the run.
    bool toreadFromXlsFile();
    void cmdHelp_Click();
    void cmdClose_Click();

private:
    void clearLogDetails();
};
