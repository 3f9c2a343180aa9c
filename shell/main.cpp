#include "platform/dialogs/MsgBox.h"
#include "platform/files/Picture.h"
#include "shell/MDIMain.h"
#include "shell/frmSplash.h"
#include "shell/gblGlobal.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(Picture::read(programFile(QStringLiteral("logo.png"))))));
    MsgBox::guardFileDialogs();
    if (Main() == StartupResult::EndProgram)
        return 0;
    // Loaded hidden; the splash window shows it when it closes.
    MDIMain mainWindow;
    frmSplash splash(&mainWindow);
    splash.exec();
    return QApplication::exec();
}
