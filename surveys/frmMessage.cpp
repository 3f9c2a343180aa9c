#include "surveys/frmMessage.h"

#include "shell/gblGlobal.h"
#include "surveys/distribution/DistributionStore.h"
#include "surveys/frmLogDetails.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

frmMessage::frmMessage(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Define Standard Message"));
    setFixedSize(520, 330);

    txtMessage = new QPlainTextEdit(this);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setGeometry(12, 12, 496, 260);
    txtMessage->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMessage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMessage->setTabChangesFocus(true);

    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setGeometry((width() - 96) / 2, 284, 96, 30);
    cmdSave->setAutoDefault(false);

    connect(cmdSave, &QPushButton::clicked, this, &frmMessage::cmdSave_Click);
}

void frmMessage::Form_Load()
{
    toCenterForm(this);
    frmLogDetails* log = frmLogDetails::instance();
    if (!log)
        return;
    const QString message = log->toGetStandardMessage(log->customerName());
    if (!DistributionStore::trimBlanks(message).isEmpty())
        txtMessage->setPlainText(message);
}

void frmMessage::cmdSave_Click()
{
    const QString text = txtMessage->toPlainText();
    if (!DistributionStore::trimBlanks(text).isEmpty()) {
        if (frmLogDetails* log = frmLogDetails::instance())
            log->toWriteStandardMessage(text);
    }
    accept();
}

void frmMessage::Form_KeyDown(int keyCode)
{
    if (keyCode == 27)
        reject();
}

void frmMessage::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Form_KeyDown(27);
        return;
    }
    QDialog::keyPressEvent(event);
}
