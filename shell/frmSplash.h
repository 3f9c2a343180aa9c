#pragma once

#include <QDialog>
#include <QPointer>

class QEventLoop;
class QFrame;
class QLabel;
class QTimer;

// The window shown modally at start-up: it leads on to the main window 4 seconds after it shows, or at once on a
// click or a key press, exactly once.
class frmSplash : public QDialog
{
    Q_OBJECT
public:
    // mainWindow: the window shown when the splash window closes.
    explicit frmSplash(QWidget* mainWindow, QWidget* parent = nullptr);

    QFrame* Frame1 = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblLicensedTo = nullptr;
    QLabel* lblCompanyName = nullptr;
    QLabel* lblCopyright = nullptr;
    QTimer* Timer1 = nullptr;

    void Timer1_Timer();
    void Frame1_Click();

public slots:
    // Shows the window modally; returns once it has led on to the main window, whenever that happened.
    int exec() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void toShowMainWindow();

    QPointer<QWidget> m_mainWindow;
    QEventLoop* m_loop = nullptr;
    bool m_done = false;
};
