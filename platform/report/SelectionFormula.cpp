#include "platform/report/SelectionFormula.h"

#include <QRegularExpression>

namespace
{

int skipBlanks(const QString& s, int pos)
{
    while (pos < s.size() && s[pos].isSpace())
        ++pos;
    return pos;
}

// The word at pos, standing alone ("and{" counts, "andrew" does not).
bool startsWord(const QString& s, int pos, QLatin1String word)
{
    if (QStringView(s).mid(pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const int next = pos + int(word.size());
    return next >= s.size() || !(s[next].isLetterOrNumber() || s[next] == QLatin1Char('_'));
}

} // namespace

bool SelectionFormula::parse(const QString& formula, QString* error)
{
    m_text = formula;
    m_conditions.clear();
    m_failPos = -1;
    m_expected.clear();
    if (formula.trimmed().isEmpty())
        return true;
    if (parseFrom(0))
        return true;
    m_conditions.clear();
    if (error) {
        const QString near = m_text.mid(m_failPos, 30);
        *error = near.isEmpty()
                     ? QStringLiteral("The selection formula %1 ends too soon: %2 expected.").arg(formula, m_expected)
                     : QStringLiteral("The selection formula %1 cannot be read at \"%2\": %3 expected.")
                           .arg(formula, near, m_expected);
    }
    return false;
}

void SelectionFormula::fail(int pos, const QString& expected)
{
    m_failPos = pos;
    m_expected = expected;
}

// One condition from pos onwards, then the rest of the formula.
bool SelectionFormula::parseFrom(int pos)
{
    static const QRegularExpression field(
        QStringLiteral("\\s*\\{\\s*([A-Za-z0-9_]+)\\s*\\.\\s*([A-Za-z0-9_]+)\\s*\\}\\s*"
                       "(>=|<=|=)\\s*"));
    const QRegularExpressionMatch m =
        field.match(m_text, pos, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    if (!m.hasMatch()) {
        fail(skipBlanks(m_text, pos), QStringLiteral("a field in braces followed by =, >= or <="));
        return false;
    }
    Condition c;
    c.table = m.captured(1);
    c.field = m.captured(2);
    c.op = m.captured(3);
    return parseValue(m.capturedEnd(), c);
}

bool SelectionFormula::parseValue(int pos, Condition c)
{
    static const QRegularExpression date(
        QStringLiteral("date\\s*\\(\\s*(\\d{1,4})\\s*,\\s*(\\d{1,2})\\s*,\\s*(\\d{1,2})\\s*\\)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch d =
        date.match(m_text, pos, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    if (d.hasMatch()) {
        c.date = QDate(d.captured(1).toInt(), d.captured(2).toInt(), d.captured(3).toInt());
        if (!c.date.isValid()) {
            fail(pos, QStringLiteral("a valid date"));
            return false;
        }
        m_conditions << c;
        return parseRest(d.capturedEnd());
    }
    // A text in quotes, optionally in brackets: 'North Works' or ['North Works'].
    int p = pos;
    const bool bracket = p < m_text.size() && m_text[p] == QLatin1Char('[');
    if (bracket)
        p = skipBlanks(m_text, p + 1);
    if (p >= m_text.size() || (m_text[p] != QLatin1Char('\'') && m_text[p] != QLatin1Char('"'))) {
        fail(p, QStringLiteral("a text in quotes or date(year,month,day)"));
        return false;
    }
    const QChar quote = m_text[p];
    const int start = p + 1;
    for (int close = m_text.indexOf(quote, start); close >= 0; close = m_text.indexOf(quote, close + 1)) {
        int after = skipBlanks(m_text, close + 1);
        if (bracket) {
            if (after >= m_text.size() || m_text[after] != QLatin1Char(']'))
                continue;
            after = skipBlanks(m_text, after + 1);
        }
        if (after < m_text.size() && !startsWord(m_text, after, QLatin1String("and")) &&
            !startsWord(m_text, after, QLatin1String("or")) && m_text[after] != QLatin1Char('{'))
            continue; // an apostrophe inside the name
        c.text = m_text.mid(start, close - start);
        m_conditions << c;
        return parseRest(after);
    }
    fail(m_text.size(), bracket ? QStringLiteral("a closing quote and \"]\"") : QStringLiteral("a closing quote"));
    return false;
}

// After a condition: the end of the formula, or "and" and the next condition.
bool SelectionFormula::parseRest(int pos)
{
    const int p = skipBlanks(m_text, pos);
    if (p == m_text.size())
        return true;
    if (startsWord(m_text, p, QLatin1String("and")))
        return parseFrom(p + 3);
    fail(p, QStringLiteral("\"and\" or the end of the formula"));
    return false;
}
