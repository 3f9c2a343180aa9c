#include "shell/WindowRegistry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

WindowRegistry::WindowRegistry(QMdiArea* area, QWidget* mainWindow)
    : QObject(mainWindow), m_area(area), m_mainWindow(mainWindow)
{
    // At the application, so that Esc reaches us before a line edit or a grid's cell editor takes it.
    qApp->installEventFilter(this);
    connect(m_area, &QMdiArea::subWindowActivated, this, &WindowRegistry::subWindowActivated);
}

WindowRegistry::~WindowRegistry()
{
    qApp->removeEventFilter(this);
}

void WindowRegistry::add(const QByteArray& className, QWidget* window, bool topLevel, std::function<void()> activate)
{
    window->setObjectName(QString::fromLatin1(className));
    Entry entry;
    entry.window = window;
    entry.activate = std::move(activate);
    if (!topLevel) {
        auto* frame = new QMdiSubWindow;
        frame->setObjectName(QString::fromLatin1(className) + QStringLiteral("Frame"));
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setWidget(window);
        if (!window->testAttribute(Qt::WA_SetWindowIcon))
            frame->setWindowIcon(m_mainWindow->windowIcon());
        if (window->minimumSize() == window->maximumSize())
            frame->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                  Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        m_area->addSubWindow(frame);
        frame->hide();
        frame->adjustSize();
        entry.frame = frame;
    } else {
        window->setParent(m_mainWindow, window->windowType() == Qt::Widget ? Qt::Window : window->windowFlags());
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_entries.insert(className, entry);
    connect(window, &QObject::destroyed, this, [this, className, window] {
        const auto it = m_entries.constFind(className);
        if (it != m_entries.constEnd() && (it->window.isNull() || it->window == window))
            m_entries.remove(className);
    });
}

bool WindowRegistry::isAlive(const Entry& entry)
{
    // A successful close clears delete-on-close and leaves only the deletion pending: the window is unloaded then,
    // not when the deletion comes round.
    const QWidget* closable = entry.frame ? static_cast<QWidget*>(entry.frame.data()) : entry.window.data();
    return entry.window && closable && closable->testAttribute(Qt::WA_DeleteOnClose);
}

QWidget* WindowRegistry::find(const char* className) const
{
    const auto it = m_entries.constFind(QByteArray(className));
    if (it == m_entries.constEnd() || !isAlive(*it))
        return nullptr;
    return it->window.data();
}

bool WindowRegistry::unload(const char* className)
{
    QWidget* window = find(className);
    return !window || unloadWindow(window);
}

void WindowRegistry::showWindow(QWidget* window)
{
    const Entry* entry = entryOf(window);
    if (entry && entry->frame) {
        QMdiSubWindow* frame = entry->frame;
        if (frame->isMinimized())
            frame->showNormal();
        else
            frame->show();
        window->show();
        m_area->setActiveSubWindow(frame);
        frame->raise();
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

bool WindowRegistry::unloadWindow(QWidget* window)
{
    if (!window)
        return true;
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        return frame->close();
    return window->close();
}

bool WindowRegistry::unloadAll()
{
    for (QWidget* window : loadedWindows())
        if (!unloadWindow(window))
            return false;
    return true;
}

QList<QWidget*> WindowRegistry::loadedWindows() const
{
    QList<QWidget*> windows;
    for (const Entry& entry : m_entries)
        if (isAlive(entry))
            windows.append(entry.window);
    return windows;
}

QMdiSubWindow* WindowRegistry::frameOf(const QWidget* window) const
{
    const Entry* entry = entryOf(window);
    return entry ? entry->frame.data() : nullptr;
}

const WindowRegistry::Entry* WindowRegistry::entryOf(const QWidget* widget) const
{
    if (!widget)
        return nullptr;
    for (const Entry& entry : m_entries)
        if (isAlive(entry) && (entry.window == widget || (entry.frame && entry.frame == widget)))
            return &entry;
    return nullptr;
}

QWidget* WindowRegistry::windowHolding(QObject* object) const
{
    QWidget* widget = qobject_cast<QWidget*>(object);
    while (widget) {
        if (const Entry* entry = entryOf(widget))
            return entry->window;
        // A dialog or pop-up of its own (a message box, an open list) keeps its Esc.
        if (widget->isWindow())
            return nullptr;
        widget = widget->parentWidget();
    }
    return nullptr;
}

bool WindowRegistry::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (QWidget* window = windowHolding(watched)) {
            unloadWindow(window);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowRegistry::subWindowActivated(QMdiSubWindow* frame)
{
    // Null when the main window itself loses the activation; coming back to the same child is no new activation.
    if (!frame || frame == m_lastActive)
        return;
    m_lastActive = frame;
    if (const Entry* entry = entryOf(frame); entry && entry->activate)
        entry->activate();
}
