#pragma once

#include <QMainWindow>

class QMdiArea;

// The main window: the frame every child window opens in.
class MDIMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit MDIMain(QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_mdiArea; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QMdiArea* m_mdiArea = nullptr;
};
