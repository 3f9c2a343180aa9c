#pragma once

#include "platform/help/HelpDocument.h"

#include <QTextBrowser>

// Shows the topics of a help document one page at a time, each under its own address ("help:topic-6"), so that
// the browser's own history gives Back and Forward. Links between topics are written "#topic-6" in the document.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget* parent = nullptr);

    static QUrl topicUrl(const QString& id);

    // Replaces the document; the history belongs to the old one and is cleared.
    void setHelpDocument(const HelpDocument& document);
    const HelpDocument& helpDocument() const { return m_document; }

    void showTopic(const QString& id);
    // The topic on show, "" before the first.
    QString currentTopic() const;

    QVariant loadResource(int type, const QUrl& name) override;

private:
    void followLink(const QUrl& url);

    HelpDocument m_document;
};
