#pragma once

#include <QWidget>

class QGroupBox;
class QPushButton;
class QRadioButton;

// "XLS File Name Setting": who names the exported survey workbooks, the user or the program.
class frmSetting : public QWidget
{
    Q_OBJECT
public:
    explicit frmSetting(QWidget* parent = nullptr);

    // True when the user names the workbooks. Reads the database only; the window need not be loaded or shown.
    static bool toGetSetting();

    QGroupBox* fraSetting = nullptr;
    QRadioButton* opnUserDefined = nullptr;
    QRadioButton* opnSystemDefined = nullptr;
    QPushButton* cmdOK = nullptr;

    void Form_Load();
    void cmdOK_Click();

private:
    void toSaveSetting();
};
