#include "shell/MDIMain.h"

#include "shell/gblGlobal.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>

MDIMain::MDIMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MDIMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    m_mdiArea = new QMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdiArea);
    resize(1024, 720);
}

void MDIMain::closeEvent(QCloseEvent* event)
{
    // With the connection open the program ends at once, without the child windows' own close handling.
    if (connectionIsOpen()) {
        toCloseConnection();
        QCoreApplication::exit(0);
    }
    event->accept();
}
