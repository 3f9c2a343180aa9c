#include "feedback/ReturnedWorkbookStore.h"

#include "feedback/AnswerTables.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

#include <QDir>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace
{

// How long a reading run goes between commits. Each commit writes every index page its answers touched, so a
// commit per workbook would cost more than the reading does.
constexpr qint64 CommitInterval = 200;

// A statement prepared once per reading run; a refused one throws the connection's errors for it alone.
class Statement
{
public:
    explicit Statement(QString sql) : m_sql(std::move(sql)) {}

    QSqlQuery& exec(const QVariantList& values)
    {
        if (!m_query) {
            m_query.emplace(gConnection());
            m_query->setForwardOnly(true);
            if (!m_query->prepare(m_sql)) {
                const QSqlError error = m_query->lastError();
                m_query.reset();
                throw ProviderError(Db::errorRecords(error));
            }
        }
        m_query->finish();
        for (qsizetype i = 0; i < values.size(); ++i)
            m_query->bindValue(int(i), values[i]);
        if (!m_query->exec())
            throw ProviderError(Db::errorRecords(m_query->lastError()));
        return *m_query;
    }

private:
    QString m_sql;
    std::optional<QSqlQuery> m_query;
};

} // namespace

struct ReturnedWorkbookStore::Statements {
    Statement questionType{QStringLiteral("select Type from questions where questionid=? order by rowid limit 1")};
    Statement logStatus{QStringLiteral("update log set Status=1 where rowid=(select rowid from log where "
                                       "xlsfilename=? order by rowid limit 1)")};
};

ReturnedWorkbookStore::ReturnedWorkbookStore() = default;

ReturnedWorkbookStore::~ReturnedWorkbookStore()
{
    commit();
}

void ReturnedWorkbookStore::commit()
{
    if (!m_transaction)
        return;
    m_transaction = false;
    QSqlDatabase db = gConnection();
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        toShowConnectionErrors(ProviderError(Db::errorRecords(error)));
    }
}

ReturnedWorkbookStore::Statements& ReturnedWorkbookStore::statements()
{
    // Statements prepared on a connection that has since been closed are of no use on its successor.
    if (!connectionIsOpen()) {
        m_statements.reset();
        m_transaction = false;
        toOpenConnection();
    }
    if (!m_statements)
        m_statements = std::make_unique<Statements>();
    return *m_statements;
}

bool ReturnedWorkbookStore::XLSWrite(const QString& path, const QString& logFileName)
{
    SurveyWorkbookReader::Content content;
    QString error;
    if (!SurveyWorkbookReader::read(path, &content, &error)) {
        MsgBox::show(error);
        return false;
    }
    store(path, content, logFileName);
    return true;
}

void ReturnedWorkbookStore::store(const QString& path, const SurveyWorkbookReader::Content& content,
                                  const QString& logFileName)
{
    // What a run stores is committed every so often and at its end, whatever failed on the way. A failing statement
    // undoes itself alone, so what was stored before it stays stored, as answers written one by one have it,
    // without paying for a commit per answer. The log rows go in the same commits as their answers.
    statements(); // reopens a connection closed since the last workbook
    if (!m_transaction) {
        m_transaction = gConnection().transaction();
        m_sinceCommit.start();
    }

    if (!logFileName.isEmpty())
        toSetLogStatus(logFileName);
    for (const SurveyWorkbookReader::Answer& a : content.answers) {
        if (!a.questionId) {
            MsgBox::show(QStringLiteral("%1: cell I%2 does not hold a question's id; its answer is not read.")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(a.row));
            continue;
        }
        const std::optional<bool> scored = toCheckQuestionType(*a.questionId);
        if (!scored)
            continue;
        if (*scored)
            toSaveObjectiveFeedback(*a.questionId, content.respondentId, content.surveyDate, a.weightage, a.score,
                                    content.surveyId);
        else
            toSaveDescriptiveFeedback(*a.questionId, content.respondentId, content.surveyDate, a.weightage, a.answer,
                                      content.surveyId);
    }

    addNewAnswers(m_objective, content);
    addNewAnswers(m_descriptive, content);
    if (m_sinceCommit.elapsed() >= CommitInterval)
        commit();
}

std::optional<bool> ReturnedWorkbookStore::toCheckQuestionType(int questionId)
{
    const auto known = m_scored.constFind(questionId);
    if (known != m_scored.constEnd())
        return *known;
    if (m_missing.contains(questionId))
        return std::nullopt;
    try {
        QSqlQuery& q = statements().questionType.exec({questionId});
        if (!q.next()) {
            m_missing.insert(questionId);
            return std::nullopt;
        }
        const bool scored = q.value(0).toInt() != 0;
        m_scored.insert(questionId, scored);
        return scored;
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return std::nullopt;
    }
}

void ReturnedWorkbookStore::toSaveObjectiveFeedback(int questionId, int respondentId, const QDate& surveyDate,
                                                    const QString& weightage, const QString& score, int surveyId)
{
    // A value that is no number leaves the answer unwritten; it is no error of the connection, so nothing is shown.
    const std::optional<int> weight = wholeNumber(weightage);
    const std::optional<int> points = wholeNumber(score);
    if (!weight || !points)
        return;
    try {
        save(m_objective, {respondentId, questionId, surveyDate}, surveyId, *weight, *points);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void ReturnedWorkbookStore::toSaveDescriptiveFeedback(int questionId, int respondentId, const QDate& surveyDate,
                                                      const QString& weightage, const QString& answer, int surveyId)
{
    const std::optional<int> weight = wholeNumber(weightage);
    if (!weight)
        return;
    // The untouched placeholder, like an empty cell, is no answer.
    const bool none = answer.isEmpty() || SurveyWorkbookReader::isAnswerPrompt(answer);
    const QVariant description = none ? QVariant(QMetaType(QMetaType::QString)) : QVariant(answer);
    try {
        save(m_descriptive, {respondentId, questionId, surveyDate}, surveyId, *weight, description);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void ReturnedWorkbookStore::save(Table& table, const AnswerTables::Key& key, int surveyId, const QVariant& weightage,
                                 const QVariant& answer)
{
    // A question that comes twice: the later block's answer is the one kept.
    const auto added = table.addedByQuestion.constFind(key.questionId);
    if (added != table.addedByQuestion.constEnd()) {
        table.added[*added] = {key.questionId, weightage, answer};
        return;
    }
    if (!table.stored)
        table.stored = AnswerTables::findAll(table.scored, key.respondentId, key.surveyDate);
    const auto stored = table.stored->constFind(key.questionId);
    if (stored == table.stored->constEnd()) {
        table.addedByQuestion.insert(key.questionId, table.added.size());
        table.added.append({key.questionId, weightage, answer});
        return;
    }
    AnswerTables::write(table.scored, stored->id, key, surveyId, weightage, answer);
}

void ReturnedWorkbookStore::addNewAnswers(Table& table, const SurveyWorkbookReader::Content& content)
{
    // One statement adds them all. Should it be refused, it has added none, and they are added one by one, so that
    // each refused answer shows its own errors and the others are stored, as adding them one by one has it.
    if (!table.added.isEmpty()) {
        try {
            AnswerTables::addAll(table.scored, content.respondentId, content.surveyDate, content.surveyId, table.added);
        } catch (const ProviderError&) {
            for (const AnswerTables::NewAnswer& a : std::as_const(table.added)) {
                try {
                    AnswerTables::write(table.scored, 0, {content.respondentId, a.questionId, content.surveyDate},
                                        content.surveyId, a.weightage, a.scoreOrDescription);
                } catch (const ProviderError& e) {
                    toShowConnectionErrors(e);
                }
            }
        }
    }
    table.added.clear();
    table.addedByQuestion.clear();
    table.stored.reset();
}

void ReturnedWorkbookStore::toSetLogStatus(const QString& fileName)
{
    try {
        statements().logStatus.exec({fileName});
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

std::optional<int> ReturnedWorkbookStore::wholeNumber(const QString& text)
{
    if (text.isEmpty())
        return 0;
    bool ok = false;
    double d = text.trimmed().toDouble(&ok);
    if (!ok)
        d = QLocale::system().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    // The default rounding mode sends exact halves to the even neighbour.
    const double rounded = std::nearbyint(d);
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return int(rounded);
}
