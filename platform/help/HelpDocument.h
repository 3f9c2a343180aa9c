#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The help document: one HTML file whose topics are <div class="topic" id="..."> sections, each opening with an
// <h1> title. One file keeps the help readable in any web browser as well as in the help window, which shows
// one topic at a time.
class HelpDocument
{
public:
    static const QString contentsId;

    // The topic id of a window's help context number ("topic-6").
    static QString topicId(int contextId);

    // False when the file cannot be read or holds no topic; the document is then empty.
    bool load(const QString& path);

    QString path() const { return m_path; }
    QStringList topicIds() const { return m_order; }
    bool hasTopic(const QString& id) const { return m_topics.contains(id); }
    QString title(const QString& id) const;
    // A page of its own for one topic, with the document's style sheet; "" for an unknown topic.
    QString page(const QString& id) const;

private:
    struct Topic {
        QString title;
        QString body;
    };

    QString m_path;
    QString m_style;
    QStringList m_order;
    QHash<QString, Topic> m_topics;
};
