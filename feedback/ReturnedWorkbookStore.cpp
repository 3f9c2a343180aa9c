#include "feedback/ReturnedWorkbookStore.h"

#include "feedback/AnswerTables.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/ConnectionPolicy.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>
#include <utility>

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

// The savepoint that holds the workbook being stored, inside the run's transaction.
const QString& workbookSavepoint()
{
    static const QString name = QStringLiteral("workbook");
    return name;
}

// A list of workbooks in a message stays short enough for a screen.
constexpr qsizetype MaxNamed = 20;

QString title()
{
    return QString::fromLatin1(kMessageTitle);
}

QString reasonOf(const ProviderError& error)
{
    return error.records().isEmpty() ? QStringLiteral("no connection to the database")
                                     : error.records().first().description;
}

QString named(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths.first(std::min(paths.size(), MaxNamed)))
        names << QFileInfo(path).fileName();
    if (paths.size() > MaxNamed)
        names << QStringLiteral("and %1 more").arg(paths.size() - MaxNamed);
    return names.join(QStringLiteral("\r\n"));
}

// Workbooks that a commit or a rolled-back transaction took along.
void sayNotStored(const ProviderError& error, const QStringList& paths)
{
    MsgBox::show(QStringLiteral("The database did not store these workbooks (%1); read them again:\r\n%2")
                     .arg(reasonOf(error), named(paths)),
                 MsgBox::Critical, title());
}

} // namespace

struct ReturnedWorkbookStore::Statements {
    Statement questionType{QStringLiteral("select Type from questions where questionid=? order by rowid limit 1")};
    Statement logStatus{QStringLiteral("update log set Status=1 where rowid=(select rowid from log where "
                                       "xlsfilename=? order by rowid limit 1)")};
};

ReturnedWorkbookStore::ReturnedWorkbookStore() = default;

ReturnedWorkbookStore::~ReturnedWorkbookStore()
{
    finish();
}

void ReturnedWorkbookStore::finish(const QStringList& notRead)
{
    if (m_finished)
        return;
    m_finished = true;
    if (!m_stopped)
        commit();
    if (m_noAnswers.size() == 1)
        MsgBox::show(QStringLiteral("The file \"%1\" holds no answers yet. Nothing was stored.")
                         .arg(QFileInfo(m_noAnswers.first()).fileName()),
                     MsgBox::Information, title());
    else if (!m_noAnswers.isEmpty())
        MsgBox::show(QStringLiteral("These files hold no answers yet. Nothing was stored from them:\r\n%1")
                         .arg(named(m_noAnswers)),
                     MsgBox::Information, title());
    if (!m_stopped)
        return;
    MsgBox::show(QStringLiteral("Reading stopped at %1: the database cannot be written (%2).\r\nThese workbooks "
                                "are not stored:\r\n%3")
                     .arg(QDir::toNativeSeparators(m_stoppedAt), m_stopReason, named(m_lost + notRead)),
                 MsgBox::Critical, title());
}

bool ReturnedWorkbookStore::commit()
{
    try {
        ConnectionPolicy::commit();
        m_uncommitted.clear();
        return true;
    } catch (const ProviderError& e) {
        // The commit took every workbook since the last one with it; the run stopped where that batch began.
        const QStringList lost = std::exchange(m_uncommitted, {});
        if (ConnectionPolicy::classify(e) == ConnectionPolicy::Failure::CannotWrite) {
            m_lost += lost;
            markStopped(lost.isEmpty() ? QString() : lost.first(), e);
        } else if (!lost.isEmpty()) {
            sayNotStored(e, lost);
        }
        return false;
    }
}

ReturnedWorkbookStore::Statements& ReturnedWorkbookStore::statements()
{
    // Statements prepared on a connection that has since been closed are of no use on its successor.
    if (!connectionIsOpen()) {
        m_statements.reset();
        toOpenConnection();
    }
    if (!m_statements)
        m_statements = std::make_unique<Statements>();
    return *m_statements;
}

bool ReturnedWorkbookStore::XLSWrite(const QString& path, const QString& logFileName)
{
    if (m_stopped)
        return false;
    SurveyWorkbookReader::Content content;
    QString error;
    if (!SurveyWorkbookReader::read(path, &content, &error)) {
        // No message waits while the run holds the database. A commit that stops the run names this workbook too.
        commit();
        if (m_stopped)
            m_lost << path;
        else
            MsgBox::show(error);
        return false;
    }
    // Such a workbook only has its log row marked, as one that was read.
    const bool noAnswers = holdsNoAnswers(content);
    if (noAnswers)
        content.answers.clear();
    m_errors.clear();
    m_notices.clear();
    m_unstored = 0;
    m_noQuestion = 0;
    try {
        store(path, content, logFileName);
    } catch (const ProviderError& e) {
        failed(path, e);
        return false;
    }
    if (noAnswers)
        m_noAnswers << path;
    else
        m_uncommitted << path;
    const bool toSay = !m_errors.isEmpty() || !m_notices.isEmpty() || m_noQuestion > 0;
    if ((toSay || m_sinceCommit.elapsed() >= CommitInterval) && !commit())
        return false;
    for (const QString& notice : std::as_const(m_notices))
        MsgBox::show(notice);
    for (const ProviderError& e : std::as_const(m_errors))
        toShowConnectionErrors(e);
    if (m_noQuestion > 0)
        MsgBox::show(QStringLiteral("%1: %2 answer(s) have no question in the database any more; they are not stored.")
                         .arg(QDir::toNativeSeparators(path))
                         .arg(m_noQuestion),
                     MsgBox::Information, title());
    return true;
}

void ReturnedWorkbookStore::store(const QString& path, const SurveyWorkbookReader::Content& content,
                                  const QString& logFileName)
{
    // The run's transaction takes the write lock at once, waiting out another program's, and is committed every so
    // often: a commit per workbook would cost more than the reading does. Each workbook lies under a savepoint of
    // its own, so that a workbook that cannot be stored leaves nothing of itself and takes none of the others along.
    statements(); // reopens a connection closed since the last workbook
    if (!ConnectionPolicy::inTransaction()) {
        ConnectionPolicy::begin();
        m_sinceCommit.start();
    }
    ConnectionPolicy::savepoint(workbookSavepoint());
    try {
        for (const SurveyWorkbookReader::Answer& a : content.answers) {
            if (!a.questionId) {
                m_notices << QStringLiteral("%1: cell I%2 does not hold a question's id; its answer is not read.")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(a.row);
                continue;
            }
            const std::optional<bool> scored = toCheckQuestionType(*a.questionId);
            if (!scored) {
                if (m_missing.contains(*a.questionId))
                    ++m_noQuestion;
                continue;
            }
            if (*scored)
                toSaveObjectiveFeedback(*a.questionId, content.respondentId, content.surveyDate, a.weightage, a.score,
                                        content.surveyId);
            else
                toSaveDescriptiveFeedback(*a.questionId, content.respondentId, content.surveyDate, a.weightage,
                                          a.answer, content.surveyId);
        }
        addNewAnswers(m_objective, content);
        addNewAnswers(m_descriptive, content);
        // Marked read with its answers, and only when all of them are stored: reading it again completes it.
        if (m_unstored == 0 && !logFileName.isEmpty())
            toSetLogStatus(logFileName);
        ConnectionPolicy::release(workbookSavepoint());
    } catch (const ProviderError&) {
        m_objective.clear();
        m_descriptive.clear();
        ConnectionPolicy::rollbackTo(workbookSavepoint());
        throw;
    }
}

void ReturnedWorkbookStore::refused(const ProviderError& error)
{
    if (ConnectionPolicy::classify(error) != ConnectionPolicy::Failure::Statement)
        throw error;
    m_errors << error;
    ++m_unstored;
}

void ReturnedWorkbookStore::failed(const QString& path, const ProviderError& error)
{
    // SQLite, or a message box, may have undone the whole transaction, the workbooks stored before this one with it.
    const bool undone = !ConnectionPolicy::inTransaction();
    const QStringList lost = undone ? std::exchange(m_uncommitted, {}) : QStringList();
    if (ConnectionPolicy::classify(error) == ConnectionPolicy::Failure::CannotWrite) {
        stop(path, error, lost);
        return;
    }
    // Ends what a message box undid, so that the next workbook begins a transaction of its own.
    if (undone)
        ConnectionPolicy::rollback();
    if (!lost.isEmpty()) {
        sayNotStored(error, lost + QStringList{path});
        return;
    }
    if (!commit())
        return;
    if (ConnectionPolicy::classify(error) == ConnectionPolicy::Failure::Busy)
        MsgBox::show(QStringLiteral("%1: the database is locked by another program. Nothing of this workbook is "
                                    "stored; read it again later.")
                         .arg(QDir::toNativeSeparators(path)),
                     MsgBox::Critical, title());
    else
        toShowConnectionErrors(error);
}

void ReturnedWorkbookStore::stop(const QString& path, const ProviderError& error, const QStringList& lost)
{
    m_lost += lost;
    // What the transaction still holds of earlier workbooks is kept if the database takes it.
    if (ConnectionPolicy::inTransaction())
        commit();
    markStopped(path, error);
    m_lost << path;
}

void ReturnedWorkbookStore::markStopped(const QString& at, const ProviderError& error)
{
    m_stopped = true;
    m_stoppedAt = at;
    m_stopReason = reasonOf(error);
}

bool ReturnedWorkbookStore::holdsNoAnswers(const SurveyWorkbookReader::Content& content)
{
    return std::all_of(content.answers.cbegin(), content.answers.cend(), [](const SurveyWorkbookReader::Answer& a) {
        return a.weightage.trimmed().isEmpty() && a.score.trimmed().isEmpty() &&
               (a.answer.trimmed().isEmpty() || !a.hasAnswer());
    });
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
        refused(e);
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
        refused(e);
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
        refused(e);
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
        } catch (const ProviderError& e) {
            if (ConnectionPolicy::classify(e) != ConnectionPolicy::Failure::Statement)
                throw;
            for (const AnswerTables::NewAnswer& a : std::as_const(table.added)) {
                try {
                    AnswerTables::write(table.scored, 0, {content.respondentId, a.questionId, content.surveyDate},
                                        content.surveyId, a.weightage, a.scoreOrDescription);
                } catch (const ProviderError& e) {
                    refused(e);
                }
            }
        }
    }
    table.clear();
}

void ReturnedWorkbookStore::toSetLogStatus(const QString& fileName)
{
    try {
        statements().logStatus.exec({fileName});
    } catch (const ProviderError& e) {
        refused(e);
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
