#pragma once

#include <QString>
#include <QStringList>

// The keyword search over answers and actions, matched here rather than with LIKE: keywords are literal text,
// letters compare without regard to case in every alphabet, and either form of the apostrophe matches the other.
namespace KeywordSearch
{

constexpr int maxKeywords = 10;

// The "Found In" text of a hit in the improvement actions.
extern const QString actionSource;

// The typed text's keywords, split at blanks, apostrophes made typographic, empty ones (two blanks in a row)
// dropped. None when there are more than maxKeywords.
QStringList splitKeywords(const QString& text);

class Matcher
{
public:
    explicit Matcher(const QStringList& keywords);
    // True when the text holds any of the keywords.
    bool matches(const QString& text) const;

private:
    QStringList m_folded;
};

// Empties table search and stores every hit of the keywords: scored answers by question, then descriptive
// answers by question or answer, then actions by description. Throws ProviderError; hits stored stay.
void refill(const QStringList& keywords);

} // namespace KeywordSearch
