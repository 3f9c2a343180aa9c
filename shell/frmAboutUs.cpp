#include "shell/frmAboutUs.h"

#include "platform/files/Picture.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

frmAboutUs::frmAboutUs(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("About Velquist"));

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(QPixmap::fromImage(Picture::read(programFile(QStringLiteral("logo.png"))))
                           .scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    imgLogo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblProduct = new QLabel(QStringLiteral("Quorvane"), this);
    lblProduct->setObjectName(QStringLiteral("lblProduct"));
    QFont productFont = lblProduct->font();
    productFont.setPointSizeF(productFont.pointSizeF() * 1.8);
    productFont.setBold(true);
    lblProduct->setFont(productFont);
    lblVersion = new QLabel(QStringLiteral("Customer Satisfaction Surveys, Version 2.1"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblLicensedTo = new QLabel(QStringLiteral("Licensed to:"), this);
    lblLicensedTo->setObjectName(QStringLiteral("lblLicensedTo"));
    lblCompanyname = new QLabel(this);
    lblCompanyname->setObjectName(QStringLiteral("lblCompanyname"));
    QFont companyFont = lblCompanyname->font();
    companyFont.setBold(true);
    lblCompanyname->setFont(companyFont);
    lblCompanyname->setWordWrap(true);
    lblMaker = new QLabel(QStringLiteral("Copyright \u00a9 Velquist. All rights reserved."), this);
    lblMaker->setObjectName(QStringLiteral("lblMaker"));

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setDefault(true);
    cmdClose->setMinimumWidth(90);

    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    text->addWidget(lblProduct);
    text->addWidget(lblVersion);
    text->addSpacing(14);
    text->addWidget(lblLicensedTo);
    text->addWidget(lblCompanyname);
    text->addStretch(1);
    auto* top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(imgLogo);
    top->addLayout(text, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblMaker, 1);
    bottom->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addLayout(top, 1);
    layout->addWidget(rule);
    layout->addLayout(bottom);
    setFixedSize(460, 250);

    connect(cmdClose, &QPushButton::clicked, this, &frmAboutUs::cmdClose_Click);
}

void frmAboutUs::Form_Load()
{
    // The native window exists from here on, so that its frame is known where the platform can tell it early.
    winId();
    centreOnScreen();
    lblCompanyname->setText(gCompanyName);
}

void frmAboutUs::centreOnScreen()
{
    // The whole window, frame included, by exact halves (this window does not use the child windows' placement);
    // the one rounding is to the pixel the frame's corner lands on.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QSize whole = frameGeometry().size();
    const double left = (area.width() - whole.width()) / 2.0;
    const double top = (area.height() - whole.height()) / 2.0;
    move(area.x() + qRound(left), area.y() + qRound(top));
}

void frmAboutUs::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}
