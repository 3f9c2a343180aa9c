#include "platform/help/HelpWindow.h"
#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/help/HelpBrowser.h"
#include "platform/help/HelpDocument.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace
{

// Every help context number the program's windows use, with the caption of the window it belongs to.
const QList<QPair<int, QString>> windowTopics = {
    {1, QStringLiteral("Customer And Respondents")},
    {2, QStringLiteral("Parameter And Question Details")},
    {6, QStringLiteral("Enter Survey Feedback")},
    {7, QStringLiteral("Improvement Plan")},
    {8, QStringLiteral("Survey Response")},
    {9, QStringLiteral("Satisfaction Overview")},
    {10, QStringLiteral("Status Report on Improvement Plan")},
    {11, QStringLiteral("Satisfaction Index")},
    {12, QStringLiteral("Performance Matrix")},
    {13, QStringLiteral("Search on Keywords")},
    {200, QStringLiteral("Read Xls File")},
    {201, QStringLiteral("New Survey")},
    {202, QStringLiteral("Edit Survey")},
    {203, QStringLiteral("Email Survey Files")},
};

QStringList linkTargets(const QTextDocument* document)
{
    QStringList targets;
    for (QTextBlock b = document->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor())
                targets.append(it.fragment().charFormat().anchorHref());
    return targets;
}

class HelpWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        // The program's folder gets the resources flat, as the build lays them out.
        for (const QString& name : {HelpWindow::helpFileName(), HelpWindow::presentationFileName()})
            ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/resources/") + name, path(name)))
                << name.toStdString();
        MsgBox::clearRecords();
        Desktop::setTestMode(true);
    }

    void TearDown() override
    {
        if (HelpWindow::instance())
            HelpWindow::instance()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString path(const QString& name) const { return QDir(m_folder.path()).filePath(name); }
    QString helpFile() const { return path(HelpWindow::helpFileName()); }
    static HelpBrowser* browser()
    {
        return HelpWindow::instance()->findChild<HelpBrowser*>(QStringLiteral("m_browser"));
    }
    static QAction* action(const char* name)
    {
        return HelpWindow::instance()->findChild<QAction*>(QLatin1String(name));
    }

    QTemporaryDir m_folder;
};

TEST_F(HelpWindowTest, EveryWindowsContextOpensItsOwnTopic)
{
    for (const auto& [context, caption] : windowTopics) {
        SCOPED_TRACE(context);
        ASSERT_TRUE(HelpWindow::showTopic(helpFile(), context));
        HelpWindow* w = HelpWindow::instance();
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->currentTopic(), QStringLiteral("topic-%1").arg(context));
        EXPECT_EQ(w->currentTitle(), caption);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Quorvane Help - ") + caption);
        // The page shown is that topic alone: it opens with its title and holds no other topic's.
        const QString text = browser()->toPlainText().trimmed();
        EXPECT_TRUE(text.startsWith(caption)) << text.left(80).toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("Using this help")));
    }
    // One window serves every request.
    int helpWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        helpWindows += qobject_cast<HelpWindow*>(w) != nullptr;
    EXPECT_EQ(helpWindows, 1);
}

TEST_F(HelpWindowTest, ChooserAndCompositionWindowShareTheirTopic)
{
    ASSERT_TRUE(HelpWindow::showTopic(helpFile(), 201));
    const QString text = browser()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Open Blank Survey")));
    EXPECT_TRUE(text.contains(QStringLiteral("List of Selected Question(s)")));
}

TEST_F(HelpWindowTest, ContentsLinksEveryTopicAndLinksFollow)
{
    ASSERT_TRUE(HelpWindow::showContents(helpFile()));
    HelpWindow* w = HelpWindow::instance();
    EXPECT_EQ(w->currentTopic(), HelpDocument::contentsId);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quorvane Help"));

    QSet<QString> linked;
    for (const QString& href : linkTargets(browser()->document()))
        linked.insert(QUrl(href).fragment());
    QSet<QString> expected;
    for (const auto& topic : windowTopics)
        expected.insert(HelpDocument::topicId(topic.first));
    EXPECT_EQ(linked, expected);

    // Following a link, then Back and Forward, as the user does.
    EXPECT_FALSE(action("m_actBack")->isEnabled());
    emit browser()->anchorClicked(QUrl(QStringLiteral("#topic-12")));
    EXPECT_EQ(w->currentTopic(), QStringLiteral("topic-12"));
    EXPECT_EQ(w->currentTitle(), QStringLiteral("Performance Matrix"));
    ASSERT_TRUE(action("m_actBack")->isEnabled());
    action("m_actBack")->trigger();
    EXPECT_EQ(w->currentTopic(), HelpDocument::contentsId);
    ASSERT_TRUE(action("m_actForward")->isEnabled());
    action("m_actForward")->trigger();
    EXPECT_EQ(w->currentTopic(), QStringLiteral("topic-12"));
    action("m_actContents")->trigger();
    EXPECT_EQ(w->currentTopic(), HelpDocument::contentsId);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quorvane Help"));
}

TEST_F(HelpWindowTest, EveryLinkInTheDocumentReachesATopic)
{
    HelpDocument document;
    ASSERT_TRUE(document.load(helpFile()));
    EXPECT_EQ(document.topicIds().size(), windowTopics.size() + 1);
    for (const QString& id : document.topicIds()) {
        SCOPED_TRACE(id.toStdString());
        EXPECT_FALSE(document.title(id).isEmpty());
        QTextDocument page;
        page.setHtml(document.page(id));
        for (const QString& href : linkTargets(&page))
            EXPECT_TRUE(document.hasTopic(QUrl(href).fragment())) << href.toStdString();
    }
}

TEST_F(HelpWindowTest, UnknownContextShowsTheContentsWithANote)
{
    ASSERT_TRUE(HelpWindow::showTopic(helpFile(), 6));
    for (int context : {99, 0, -1}) {
        SCOPED_TRACE(context);
        ASSERT_TRUE(HelpWindow::showTopic(helpFile(), context));
        HelpWindow* w = HelpWindow::instance();
        EXPECT_EQ(w->currentTopic(), HelpDocument::contentsId);
        EXPECT_TRUE(w->statusBar()->currentMessage().contains(QString::number(context)));
    }
    // The note goes once the user moves on.
    emit browser()->anchorClicked(QUrl(QStringLiteral("#topic-1")));
    EXPECT_TRUE(HelpWindow::instance()->statusBar()->currentMessage().isEmpty());
}

TEST_F(HelpWindowTest, MissingHelpFileIsReported)
{
    QFile::remove(helpFile());
    EXPECT_FALSE(HelpWindow::showTopic(helpFile(), 1));
    EXPECT_EQ(HelpWindow::instance(), nullptr);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown().first().text.contains(helpFile()));

    // A window already open stays as it was.
    QFile::copy(QStringLiteral(QUORVANE_SOURCE_DIR "/resources/") + HelpWindow::helpFileName(), path("other.html"));
    ASSERT_TRUE(HelpWindow::showTopic(path("other.html"), 2));
    EXPECT_FALSE(HelpWindow::showContents(helpFile()));
    EXPECT_EQ(HelpWindow::instance()->currentTopic(), QStringLiteral("topic-2"));
}

TEST_F(HelpWindowTest, PresentationOpensInTheDesktopsViewer)
{
    const QString pdf = path(HelpWindow::presentationFileName());
    EXPECT_TRUE(HelpWindow::openPresentation(pdf));
    EXPECT_EQ(Desktop::openedFiles(), QStringList{pdf});

    Desktop::setOpenResult(false);
    EXPECT_FALSE(HelpWindow::openPresentation(pdf));

    Desktop::setTestMode(true);
    QFile::remove(pdf);
    EXPECT_FALSE(HelpWindow::openPresentation(pdf));
    EXPECT_TRUE(Desktop::openedFiles().isEmpty());
}

TEST_F(HelpWindowTest, PresentationCoversTheFirstSteps)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {path(HelpWindow::presentationFileName()), QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    ASSERT_EQ(pdftotext.exitCode(), 0);
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
    for (const char* step : {"Getting Started", "Customer And Respondent", "Parameter", "New Survey", "Export",
                             "Read Multiple Files", "Satisfaction Index"})
        EXPECT_TRUE(text.contains(QLatin1String(step))) << step;
}

} // namespace
