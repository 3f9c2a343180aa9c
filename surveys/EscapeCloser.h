#pragma once

#include <QObject>

class QWidget;

// Esc closes the window whichever of its controls has the focus: the filter sits on the window and on each of
// its controls, so that a list or an editor does not keep the key for itself.
class EscapeCloser : public QObject
{
    Q_OBJECT

public:
    static void install(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit EscapeCloser(QWidget* window);
    QWidget* m_window;
};
