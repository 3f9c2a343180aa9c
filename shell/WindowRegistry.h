#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

// The one instance of each window class. A window class is a QWidget subclass with a constructor taking no
// arguments; it may have public `Form_Load()` (run once, after the window has its frame and before it is first
// shown) and `Form_Activate()` (run each time another child window hands it the activation).
// A window becomes a child window in the MDI area, unless its class declares
// `static constexpr bool topLevelWindow = true;`: it then stays a window of its own, owned by the main window.
// Pressing Esc anywhere inside a registered window unloads it.
class WindowRegistry : public QObject
{
    Q_OBJECT
public:
    WindowRegistry(QMdiArea* area, QWidget* mainWindow);
    ~WindowRegistry() override;

    // The implicit load: the loaded instance, or a new one, loaded and hidden.
    template <class T> T* load()
    {
        if (T* existing = find<T>())
            return existing;
        auto* window = new T;
        QPointer<T> guard(window);
        std::function<void()> activate;
        if constexpr (requires(T & t) { t.Form_Activate(); })
            activate = [guard] {
                if (guard)
                    guard->Form_Activate();
            };
        bool topLevel = false;
        if constexpr (requires { T::topLevelWindow; })
            topLevel = T::topLevelWindow;
        add(T::staticMetaObject.className(), window, topLevel, std::move(activate));
        if constexpr (requires(T & t) { t.Form_Load(); })
            window->Form_Load();
        return guard.data();
    }

    // Loads the window when needed and shows it, or brings it up when it is already shown.
    template <class T> T* show()
    {
        T* window = load<T>();
        if (window)
            showWindow(window);
        return window;
    }

    // The loaded instance, or nullptr; never loads.
    template <class T> T* find() const { return static_cast<T*>(find(T::staticMetaObject.className())); }
    template <class T> bool isLoaded() const { return find<T>() != nullptr; }
    // Unloads the window when it is loaded; false when the window refused to close.
    template <class T> bool unload() { return unload(T::staticMetaObject.className()); }

    // The same by class name, for windows the caller does not otherwise know.
    QWidget* find(const char* className) const;
    bool unload(const char* className);

    void showWindow(QWidget* window);
    // Closes a window (its frame, for a child window), running its own close handling; false when it refused.
    static bool unloadWindow(QWidget* window);
    // Unloads every loaded window; false when one refused to close (the rest stay loaded).
    bool unloadAll();

    // The registered window that holds the widget (stopping at any other top-level window), or nullptr.
    QWidget* windowHolding(QObject* object) const;
    QList<QWidget*> loadedWindows() const;
    QMdiSubWindow* frameOf(const QWidget* window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QWidget> window;
        QPointer<QMdiSubWindow> frame;
        std::function<void()> activate;
    };

    void add(const QByteArray& className, QWidget* window, bool topLevel, std::function<void()> activate);
    const Entry* entryOf(const QWidget* widget) const;
    static bool isAlive(const Entry& entry);
    void subWindowActivated(QMdiSubWindow* frame);

    QMdiArea* m_area = nullptr;
    QWidget* m_mainWindow = nullptr;
    QHash<QByteArray, Entry> m_entries;
    QPointer<QMdiSubWindow> m_lastActive;
};
