#include "shell/HelpTopics.h"

#include "platform/help/HelpWindow.h"
#include "shell/gblGlobal.h"

#include <QWidget>

namespace HelpTopics
{

void showTopic(QWidget* window, int contextId)
{
    if (window)
        window->setCursor(Qt::WaitCursor);
    HelpWindow::showTopic(programFile(HelpWindow::helpFileName()), contextId);
    if (window)
        window->unsetCursor();
}

void showContents(QWidget* window)
{
    if (window)
        window->setCursor(Qt::WaitCursor);
    HelpWindow::showContents(programFile(HelpWindow::helpFileName()));
    if (window)
        window->unsetCursor();
}

} // namespace HelpTopics
