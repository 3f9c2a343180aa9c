#include "platform/help/HelpBrowser.h"

#include "platform/files/WholeFile.h"

namespace
{
const QString scheme = QStringLiteral("help");
}

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent)
{
    // Links are resolved here: a topic link must load its own page, not scroll within the current one.
    setOpenLinks(false);
    document()->setDocumentMargin(12);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

QUrl HelpBrowser::topicUrl(const QString& id)
{
    QUrl url;
    url.setScheme(scheme);
    url.setPath(id);
    return url;
}

void HelpBrowser::setHelpDocument(const HelpDocument& document)
{
    m_document = document;
    clearHistory();
    if (source().isValid())
        reload();
}

void HelpBrowser::showTopic(const QString& id)
{
    const QUrl url = topicUrl(id);
    if (url == source())
        return;
    setSource(url, QTextDocument::HtmlResource);
}

QString HelpBrowser::currentTopic() const
{
    return source().scheme() == scheme ? source().path() : QString();
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name)
{
    if (name.scheme() == scheme)
        return m_document.page(name.path());
    // A file that a page names is read as every other file is, never by the browser itself.
    if (name.isLocalFile()) {
        QByteArray bytes;
        return WholeFile::read(name.toLocalFile(), &bytes) ? QVariant(bytes) : QVariant();
    }
    return QTextBrowser::loadResource(type, name);
}

void HelpBrowser::followLink(const QUrl& url)
{
    const QString id = url.hasFragment() ? url.fragment() : url.path();
    if (m_document.hasTopic(id))
        showTopic(id);
}
