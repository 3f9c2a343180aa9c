#include "platform/dialogs/MsgBox.h"
#include "shell/MDIMain.h"
#include "shell/frmSplash.h"
#include "shell/gblGlobal.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setWindowIcon(QIcon(programFile(QStringLiteral("logo.png"))));
    MsgBox::guardFileDialogs();
    if (Main() == StartupResult::EndProgram)
        return 0;
    // Loaded hidden; the splash window shows it when it closes.
    MDIMain mainWindow;
    frmSplash splash(&mainWindow);
    splash.exec();
    return QApplication::exec();
}
