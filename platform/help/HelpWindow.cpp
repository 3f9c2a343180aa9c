#include "platform/help/HelpWindow.h"

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/help/HelpBrowser.h"
#include "platform/help/HelpDocument.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace
{
QPointer<HelpWindow> s_window;
const QString windowCaption = QStringLiteral("Quorvane Help");
} // namespace

QString HelpWindow::helpFileName()
{
    return QStringLiteral("Dral HELP 2.1.html");
}

QString HelpWindow::presentationFileName()
{
    return QStringLiteral("gettingstarted.pdf");
}

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window ends the program even while help is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(windowCaption);
    resize(780, 640);

    m_browser = new HelpBrowser(this);
    m_browser->setObjectName(QStringLiteral("m_browser"));
    setCentralWidget(m_browser);

    auto* toolBar = addToolBar(QStringLiteral("Navigation"));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    m_actContents = toolBar->addAction(style()->standardIcon(QStyle::SP_FileDialogListView), tr("&Contents"));
    m_actContents->setObjectName(QStringLiteral("m_actContents"));
    m_actBack = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("&Back"));
    m_actBack->setObjectName(QStringLiteral("m_actBack"));
    m_actBack->setShortcut(QKeySequence::Back);
    m_actBack->setEnabled(false);
    m_actForward = toolBar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("&Forward"));
    m_actForward->setObjectName(QStringLiteral("m_actForward"));
    m_actForward->setShortcut(QKeySequence::Forward);
    m_actForward->setEnabled(false);

    connect(m_actContents, &QAction::triggered, this, &HelpWindow::showContentsPage);
    connect(m_actBack, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(m_actForward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_actBack, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_actForward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        statusBar()->clearMessage();
        updateTitle();
    });
    statusBar();
}

bool HelpWindow::showTopic(const QString& helpFile, int contextId)
{
    HelpWindow* w = prepare(helpFile);
    if (!w)
        return false;
    const QString id = HelpDocument::topicId(contextId);
    if (w->m_browser->helpDocument().hasTopic(id)) {
        w->open(id);
    } else {
        w->open(HelpDocument::contentsId);
        w->statusBar()->showMessage(tr("There is no help topic %1; choose a topic from the contents.").arg(contextId));
    }
    return true;
}

bool HelpWindow::showContents(const QString& helpFile)
{
    HelpWindow* w = prepare(helpFile);
    if (!w)
        return false;
    w->open(HelpDocument::contentsId);
    return true;
}

bool HelpWindow::openPresentation(const QString& path, std::function<void()> lateFailure)
{
    std::function<void(const QString&)> late;
    if (lateFailure)
        late = [lateFailure](const QString&) { lateFailure(); };
    // A missing file is caught here, before any program is started for it.
    return QFileInfo(path).isFile() && Desktop::openFile(path, nullptr, std::move(late));
}

HelpWindow* HelpWindow::instance()
{
    return s_window.data();
}

QString HelpWindow::currentTopic() const
{
    return m_browser->currentTopic();
}

QString HelpWindow::currentTitle() const
{
    return m_browser->documentTitle();
}

HelpWindow* HelpWindow::prepare(const QString& helpFile)
{
    const bool created = !s_window;
    if (created)
        s_window = new HelpWindow;
    if (!s_window->loadDocument(helpFile)) {
        if (created)
            delete s_window.data();
        MsgBox::show(tr("The help file %1 could not be opened.").arg(QDir::toNativeSeparators(helpFile)),
                     MsgBox::Critical);
        return nullptr;
    }
    return s_window.data();
}

bool HelpWindow::loadDocument(const QString& helpFile)
{
    const QString path = QFileInfo(helpFile).absoluteFilePath();
    if (m_browser->helpDocument().path() == path)
        return true;
    HelpDocument document;
    if (!document.load(path))
        return false;
    m_browser->setHelpDocument(document);
    return true;
}

void HelpWindow::open(const QString& topicId)
{
    statusBar()->clearMessage();
    m_browser->showTopic(topicId);
    updateTitle();
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void HelpWindow::showContentsPage()
{
    m_browser->showTopic(HelpDocument::contentsId);
}

void HelpWindow::updateTitle()
{
    // The contents page is titled as the window is: its title once, not twice.
    const QString title = currentTitle();
    setWindowTitle(title.isEmpty() || title == windowCaption ? windowCaption
                                                             : windowCaption + QStringLiteral(" - ") + title);
}
