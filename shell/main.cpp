#include "shell/MDIMain.h"
#include "shell/gblGlobal.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    if (Main() == StartupResult::EndProgram)
        return 0;
    MDIMain mainWindow;
    mainWindow.show();
    return QApplication::exec();
}
