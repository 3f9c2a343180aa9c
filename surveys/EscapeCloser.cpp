#include "surveys/EscapeCloser.h"

#include <QKeyEvent>
#include <QWidget>

EscapeCloser::EscapeCloser(QWidget* window) : QObject(window), m_window(window) {}

void EscapeCloser::install(QWidget* window)
{
    auto* closer = new EscapeCloser(window);
    window->installEventFilter(closer);
    for (QWidget* child : window->findChildren<QWidget*>())
        child->installEventFilter(closer);
}

bool EscapeCloser::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_window->close();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
