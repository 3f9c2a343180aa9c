#include "platform/help/HelpDocument.h"

#include "platform/files/WholeFile.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>

const QString HelpDocument::contentsId = QStringLiteral("contents");

QString HelpDocument::topicId(int contextId)
{
    return QStringLiteral("topic-%1").arg(contextId);
}

bool HelpDocument::load(const QString& path)
{
    *this = HelpDocument();
    QByteArray bytes;
    if (!WholeFile::read(path, &bytes))
        return false;
    QString html = QString::fromUtf8(bytes);
    static const QRegularExpression commentRe(QStringLiteral("<!--.*?-->"),
                                              QRegularExpression::DotMatchesEverythingOption);
    html.remove(commentRe);

    static const QRegularExpression styleRe(QStringLiteral("<style[^>]*>(.*?)</style>"),
                                            QRegularExpression::DotMatchesEverythingOption |
                                                QRegularExpression::CaseInsensitiveOption);
    // Topics hold no nested <div>, so the first </div> ends one.
    static const QRegularExpression topicRe(
        QStringLiteral("<div\\s+class=\"topic\"\\s+id=\"([^\"]+)\"\\s*>(.*?)</div>"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression titleRe(QStringLiteral("<h1[^>]*>(.*?)</h1>"),
                                            QRegularExpression::DotMatchesEverythingOption |
                                                QRegularExpression::CaseInsensitiveOption);

    const QRegularExpressionMatch style = styleRe.match(html);
    QHash<QString, Topic> topics;
    QStringList order;
    for (auto it = topicRe.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (topics.contains(m.captured(1)))
            continue;
        Topic topic;
        topic.body = m.captured(2);
        const QRegularExpressionMatch title = titleRe.match(topic.body);
        topic.title = QTextDocumentFragment::fromHtml(title.captured(1)).toPlainText().simplified();
        order.append(m.captured(1));
        topics.insert(m.captured(1), topic);
    }
    if (order.isEmpty())
        return false;

    m_path = path;
    m_style = style.captured(1);
    m_order = order;
    m_topics = topics;
    return true;
}

QString HelpDocument::title(const QString& id) const
{
    return m_topics.value(id).title;
}

QString HelpDocument::page(const QString& id) const
{
    if (!hasTopic(id))
        return QString();
    const Topic& topic = m_topics[id];
    return QStringLiteral("<html><head><title>%1</title><style>%2</style></head><body>%3</body></html>")
        .arg(topic.title.toHtmlEscaped(), m_style, topic.body);
}
