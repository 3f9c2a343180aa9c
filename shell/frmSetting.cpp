#include "shell/frmSetting.h"

#include "platform/dialogs/MsgBox.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace
{
const QString settingName = QStringLiteral("UserDefine");
}

frmSetting::frmSetting(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("XLS File Name Setting"));

    fraSetting = new QGroupBox(this);
    fraSetting->setObjectName(QStringLiteral("fraSetting"));
    opnUserDefined = new QRadioButton(QStringLiteral("User Defined"), fraSetting);
    opnUserDefined->setObjectName(QStringLiteral("opnUserDefined"));
    opnSystemDefined = new QRadioButton(QStringLiteral("System Defined"), fraSetting);
    opnSystemDefined->setObjectName(QStringLiteral("opnSystemDefined"));
    auto* options = new QVBoxLayout(fraSetting);
    options->setContentsMargins(18, 14, 18, 14);
    options->setSpacing(10);
    options->addWidget(opnUserDefined);
    options->addWidget(opnSystemDefined);

    cmdOK = new QPushButton(QStringLiteral("&Ok"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    cmdOK->setMinimumWidth(90);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setSpacing(12);
    layout->addWidget(fraSetting);
    layout->addLayout(buttons);
    setFixedSize(300, 160);

    connect(cmdOK, &QPushButton::clicked, this, &frmSetting::cmdOK_Click);
}

void frmSetting::Form_Load()
{
    toCenterForm(this);
    if (toGetSetting())
        opnUserDefined->setChecked(true);
    else
        opnSystemDefined->setChecked(true);
}

bool frmSetting::toGetSetting()
{
    try {
        toTestConnection();
        return Db::exists(QStringLiteral("select 1 from setting where setting=? and checkeduser=?"), {settingName, 1});
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return false;
    }
}

void frmSetting::toSaveSetting()
{
    try {
        toTestConnection();
        const QSqlQuery query = Db::exec(QStringLiteral("update setting set checkeduser=? where setting=?"),
                                         {opnUserDefined->isChecked() ? 1 : 0, settingName});
        // The row is only ever updated; without it the choice cannot be kept, and the user must know.
        if (query.numRowsAffected() < 1)
            MsgBox::show(QStringLiteral("The setting could not be saved: the database has no 'UserDefine' row."),
                         MsgBox::Critical, QString::fromLatin1(kMessageTitle));
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmSetting::cmdOK_Click()
{
    toSaveSetting();
    WindowRegistry::unloadWindow(this);
}
