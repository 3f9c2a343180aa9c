#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// "About Velquist": the program's logo, maker and the organisation that uses it.
class frmAboutUs : public QWidget
{
    Q_OBJECT
public:
    explicit frmAboutUs(QWidget* parent = nullptr);

    // Shown beside the work area, centred on the screen.
    static constexpr bool topLevelWindow = true;

    QLabel* imgLogo = nullptr;
    QLabel* lblProduct = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblLicensedTo = nullptr;
    QLabel* lblCompanyname = nullptr;
    QLabel* lblMaker = nullptr;
    QPushButton* cmdClose = nullptr;

    void Form_Load();
    void cmdClose_Click();

private:
    void centreOnScreen();
};
