#include "analysis/KeywordSearch.h"

#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <vector>

namespace KeywordSearch
{

const QString actionSource = QStringLiteral("Improvement Plan");

namespace
{

// Both apostrophes as one, then case-folded: what a keyword and a searched text are compared as.
QString fold(QString text)
{
    text.replace(QLatin1Char('\''), QChar(0x2019));
    return text.toCaseFolded();
}

struct Hit {
    QVariant date;
    QVariant description;
    QVariant customer;
    QVariant id;
};

const QString objectiveSource = QStringLiteral("Survey (Objective)");
const QString descriptiveSource = QStringLiteral("Survey (Descriptive)");

// The driver hands a row's columns over in order, on demand: the columns a match needs come first, and the
// others are read only for a hit, which keeps a search over many answers quick.
class Verdicts
{
public:
    explicit Verdicts(const Matcher& matcher) : m_matcher(matcher) {}
    // A question's verdict, kept by id: many answers share one question.
    bool question(const QSqlQuery& q, int idColumn, int textColumn)
    {
        const qlonglong id = q.value(idColumn).toLongLong();
        auto it = m_questions.constFind(id);
        if (it == m_questions.constEnd())
            it = m_questions.insert(id, m_matcher.matches(q.value(textColumn).toString()));
        return *it;
    }

private:
    const Matcher& m_matcher;
    QHash<qlonglong, bool> m_questions;
};

Hit hitFrom(const QSqlQuery& q, int dateColumn, int descriptionColumn, int customerColumn, int idColumn)
{
    return {q.value(dateColumn), q.value(descriptionColumn), q.value(customerColumn), q.value(idColumn)};
}

// Scored answers by their question.
std::vector<Hit> objectiveHits(const Matcher& matcher)
{
    std::vector<Hit> hits;
    Verdicts verdicts(matcher);
    QSqlQuery q =
        Db::exec(QStringLiteral("select questionid, question, surveydate, custname, feedbackobjid from objquery"));
    while (q.next())
        if (verdicts.question(q, 0, 1))
            hits.push_back(hitFrom(q, 2, 1, 3, 4));
    return hits;
}

// Descriptive answers by their written answer or their question; the hit shows the question.
std::vector<Hit> descriptiveHits(const Matcher& matcher)
{
    std::vector<Hit> hits;
    Verdicts verdicts(matcher);
    QSqlQuery q = Db::exec(QStringLiteral(
        "select questionid, Description, question, surveydate, custname, feedbackdescid from descquery"));
    while (q.next())
        if (matcher.matches(q.value(1).toString()) || verdicts.question(q, 0, 2))
            hits.push_back(hitFrom(q, 3, 2, 4, 5));
    return hits;
}

std::vector<Hit> actionHits(const Matcher& matcher)
{
    std::vector<Hit> hits;
    QSqlQuery q = Db::exec(QStringLiteral("select Action, \"Date\", custname, actionid from action"));
    while (q.next())
        if (matcher.matches(q.value(0).toString()))
            hits.push_back(hitFrom(q, 1, 0, 2, 3));
    return hits;
}

// Hits are written one statement each, as they are found.
void store(const std::vector<Hit>& hits, const QString& source)
{
    QSqlQuery insert(gConnection());
    if (!insert.prepare(
            QStringLiteral("insert into search (sdate, \"Desc\", custname, tablename, Id) values (?, ?, ?, ?, ?)")))
        throw ProviderError(Db::errorRecords(insert.lastError()));
    for (const Hit& hit : hits) {
        insert.bindValue(0, hit.date);
        insert.bindValue(1, hit.description);
        insert.bindValue(2, hit.customer);
        insert.bindValue(3, source);
        insert.bindValue(4, hit.id);
        if (!insert.exec())
            throw ProviderError(Db::errorRecords(insert.lastError()));
    }
}

} // namespace

QStringList splitKeywords(const QString& text)
{
    const QStringList keywords = toStoredText(text.trimmed()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return keywords.size() > maxKeywords ? QStringList() : keywords;
}

Matcher::Matcher(const QStringList& keywords)
{
    for (const QString& k : keywords)
        if (!k.isEmpty())
            m_folded << fold(k);
}

bool Matcher::matches(const QString& text) const
{
    if (text.isEmpty() || m_folded.isEmpty())
        return false;
    const QString folded = fold(text);
    for (const QString& k : m_folded)
        if (folded.contains(k))
            return true;
    return false;
}

void refill(const QStringList& keywords)
{
    Db::exec(QStringLiteral("delete from search"));
    if (keywords.isEmpty())
        return;
    const Matcher matcher(keywords);
    store(objectiveHits(matcher), objectiveSource);
    store(descriptiveHits(matcher), descriptiveSource);
    store(actionHits(matcher), actionSource);
}

} // namespace KeywordSearch
