#pragma once

#include <QCloseEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWidget>

#include "shell/MDIMain.h"

// Child windows standing in for the program's working windows: they count their load, activation and close
// handling, and can refuse to close.
class TestWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TestWindow(QWidget* parent = nullptr) : QWidget(parent)
    {
        setWindowTitle(QStringLiteral("Test Window"));
        txtName = new QLineEdit(this);
        txtName->setObjectName(QStringLiteral("txtName"));
        grdItems = new QTableWidget(2, 2, this);
        grdItems->setObjectName(QStringLiteral("grdItems"));
        grdItems->setItem(0, 0, new QTableWidgetItem(QStringLiteral("cell")));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(txtName);
        layout->addWidget(grdItems);
        resize(320, 240);
    }

    void Form_Load()
    {
        ++loads;
        if (MDIMain* main = mdiMain()) {
            statusAtLoad = main->statusText();
            busyAtLoad = main->isBusy();
        }
    }
    void Form_Activate() { ++activations; }

    QLineEdit* txtName = nullptr;
    QTableWidget* grdItems = nullptr;
    int loads = 0;
    int activations = 0;
    int closes = 0;
    bool refuseClose = false;
    QString statusAtLoad;
    bool busyAtLoad = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        ++closesEverywhere;
        if (refuseClose)
            event->ignore();
        else
            event->accept();
    }

public:
    static inline int closesEverywhere = 0;
};

class OtherTestWindow : public QWidget
{
    Q_OBJECT
public:
    explicit OtherTestWindow(QWidget* parent = nullptr) : QWidget(parent)
    {
        setWindowTitle(QStringLiteral("Other Test Window"));
        resize(280, 200);
    }
    void Form_Activate() { ++activations; }
    int activations = 0;
};
