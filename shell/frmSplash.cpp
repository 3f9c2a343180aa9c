#include "shell/frmSplash.h"

#include "platform/files/Picture.h"
#include "shell/gblGlobal.h"

#include <QEventLoop>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

frmSplash::frmSplash(QWidget* mainWindow, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Quorvane"));

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setStyleSheet(QStringLiteral("#Frame1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                         "stop:0 #ffffff, stop:1 #dfe7f0); border: 1px solid #5b728c; }"));

    imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(QPixmap::fromImage(Picture::read(programFile(QStringLiteral("logo.png")))));
    imgLogo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblProductName = new QLabel(QStringLiteral("Quorvane"), Frame1);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont productFont = lblProductName->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 2.6);
    productFont.setBold(true);
    lblProductName->setFont(productFont);
    lblProductName->setStyleSheet(QStringLiteral("color: #1a3f73;"));
    lblDescription = new QLabel(QStringLiteral("Customer Satisfaction Surveys"), Frame1);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    QFont descriptionFont = lblDescription->font();
    descriptionFont.setPointSizeF(descriptionFont.pointSizeF() * 1.2);
    lblDescription->setFont(descriptionFont);
    lblVersion = new QLabel(QStringLiteral("Version 2.1"), Frame1);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblLicensedTo = new QLabel(QStringLiteral("Licensed to:"), Frame1);
    lblLicensedTo->setObjectName(QStringLiteral("lblLicensedTo"));
    lblCompanyName = new QLabel(Frame1);
    lblCompanyName->setObjectName(QStringLiteral("lblCompanyName"));
    QFont companyFont = lblCompanyName->font();
    companyFont.setPointSizeF(companyFont.pointSizeF() * 1.2);
    companyFont.setBold(true);
    lblCompanyName->setFont(companyFont);
    lblCompanyName->setWordWrap(true);
    lblCopyright = new QLabel(QStringLiteral("Copyright \u00a9 Velquist. All rights reserved."), Frame1);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright->setStyleSheet(QStringLiteral("color: #4a5a6c;"));

    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    text->addWidget(lblProductName);
    text->addWidget(lblDescription);
    text->addWidget(lblVersion);
    text->addSpacing(22);
    text->addWidget(lblLicensedTo);
    text->addWidget(lblCompanyName);
    text->addStretch(1);
    text->addWidget(lblCopyright);
    auto* face = new QHBoxLayout(Frame1);
    face->setContentsMargins(28, 28, 28, 20);
    face->setSpacing(28);
    face->addWidget(imgLogo);
    face->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Frame1);
    setFixedSize(560, 300);

    Frame1->installEventFilter(this);

    // Load.
    lblCompanyName->setText(gCompanyName);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(4000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

void frmSplash::showEvent(QShowEvent* event)
{
    // The 4 seconds count from when the window can be seen, not from when it was made.
    if (!m_done && !Timer1->isActive())
        Timer1->start();
    QDialog::showEvent(event);
}

int frmSplash::exec()
{
    // Showing a splash window before the program's event loop runs delivers pending events, so the timer, a click
    // or a key can lead on while the window is still being shown. A modal loop started after that would wait for
    // a window that is already gone; hence a loop of our own that starts only when there is still something to
    // wait for.
    if (m_done)
        return result();
    setResult(0);
    setAttribute(Qt::WA_ShowModal, true);
    show();
    if (!m_done) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec(QEventLoop::DialogExec);
        m_loop = nullptr;
    }
    hide();
    return result();
}

void frmSplash::Timer1_Timer()
{
    toShowMainWindow();
}

void frmSplash::Frame1_Click()
{
    toShowMainWindow();
}

void frmSplash::toShowMainWindow()
{
    // Whichever comes first of the timer, a click and a key; the main window shows once.
    if (m_done)
        return;
    m_done = true;
    Timer1->stop();
    accept();
    if (m_loop)
        m_loop->exit();
    if (m_mainWindow)
        m_mainWindow->show();
}

void frmSplash::reject()
{
    // Esc or a close request from the desktop: leading on to the main window keeps the program from running on
    // without any window.
    toShowMainWindow();
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    toShowMainWindow();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Frame1_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
