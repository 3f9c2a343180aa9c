#pragma once

#include <QMainWindow>

#include <functional>

class HelpBrowser;
class QAction;

// The program's help: one help window, reused, that opens the help document at a window's topic (by its help
// context number) or at the contents. A normal top-level window, so that it can stay open beside the program.
class HelpWindow : public QMainWindow
{
    Q_OBJECT

public:
    // File names in the program's folder.
    static QString helpFileName();
    static QString presentationFileName();

    // False when the help file cannot be read; the user has then been told so. An unknown context number shows
    // the contents, with a note in the status bar.
    static bool showTopic(const QString& helpFile, int contextId);
    static bool showContents(const QString& helpFile);

    // Opens the getting-started presentation in the desktop's viewer; false when the file is missing or no
    // program could be started for it (the caller tells the user). A viewer that fails only after the desktop's
    // grace period calls lateFailure then.
    static bool openPresentation(const QString& path, std::function<void()> lateFailure = {});

    // The window on show, nullptr when none is open.
    static HelpWindow* instance();

    QString currentTopic() const;
    QString currentTitle() const;

private:
    explicit HelpWindow(QWidget* parent = nullptr);

    static HelpWindow* prepare(const QString& helpFile);
    bool loadDocument(const QString& helpFile);
    void open(const QString& topicId);
    void showContentsPage();
    void updateTitle();

    HelpBrowser* m_browser = nullptr;
    QAction* m_actContents = nullptr;
    QAction* m_actBack = nullptr;
    QAction* m_actForward = nullptr;
};
