#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// "Define Standard Message": the standard e-mail message of the customer selected in the log window. Modal.
class frmMessage : public QDialog
{
    Q_OBJECT

public:
    explicit frmMessage(QWidget* parent = nullptr);

    QPlainTextEdit* txtMessage = nullptr;
    QPushButton* cmdSave = nullptr;

    void Form_Load();
    void cmdSave_Click();
    void Form_KeyDown(int keyCode);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
