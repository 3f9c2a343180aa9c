#include "feedback/ReturnedWorkbookStore.h"

#include "platform/dialogs/MsgBox.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
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

// One answer table with its statements, and what the workbook being stored holds for it.
struct ReturnedWorkbookStore::Table {
    explicit Table(const QString& name, const QString& last)
        : find(QStringLiteral("select rowid from %1 where questionid=? and respondentid=? and surveydate=? "
                              "order by rowid limit 1")
                   .arg(name)),
          rowsOf(QStringLiteral("select questionid, rowid from %1 where respondentid=? and surveydate=? order by rowid")
                     .arg(name)),
          insert(QStringLiteral("insert into %1 (respondentid, questionid, surveydate, weightage, %2, surveyid) "
                                "values (?, ?, ?, ?, ?, ?)")
                     .arg(name, last)),
          // The answers of one workbook travel as one bound array of [question, weightage, answer]; the rest of
          // their key is the workbook's.
          insertAll(QStringLiteral("insert into %1 (respondentid, questionid, surveydate, weightage, %2, surveyid) "
                                   "select ?, json_extract(value, '$[0]'), ?, json_extract(value, '$[1]'), "
                                   "json_extract(value, '$[2]'), ? from json_each(?) order by key")
                        .arg(name, last)),
          update(QStringLiteral("update %1 set respondentid=?, questionid=?, surveydate=?, weightage=?, %2=?, "
                                "surveyid=? where rowid=?")
                     .arg(name, last))
    {
    }

    Statement find;
    Statement rowsOf;
    Statement insert;
    Statement insertAll;
    Statement update;

    // The respondent's stored answers of the workbook's date: question id -> row of the first one.
    bool loaded = false;
    qint64 respondentId = 0;
    QDate surveyDate;
    QHash<qint64, qint64> rows;
    // The workbook's answers that no stored answer has yet, in the order of their blocks.
    QList<QVariantList> added;
    QHash<qint64, qsizetype> addedByQuestion;
};

struct ReturnedWorkbookStore::Statements {
    Statement questionType{QStringLiteral("select Type from questions where questionid=? order by rowid limit 1")};
    Statement logStatus{QStringLiteral("update log set Status=1 where rowid=(select rowid from log where "
                                       "xlsfilename=? order by rowid limit 1)")};
    Table objective{QStringLiteral("feedbackobjective"), QStringLiteral("score")};
    Table descriptive{QStringLiteral("feedbackdescriptive"), QStringLiteral("Description")};
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
    Statements& tables = statements();
    if (!m_transaction) {
        m_transaction = gConnection().transaction();
        m_sinceCommit.start();
    }
    m_inWorkbook = true;

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

    m_inWorkbook = false;
    if (m_statements.get() == &tables) {
        addNewAnswers(tables.objective);
        addNewAnswers(tables.descriptive);
    }
    if (m_sinceCommit.elapsed() >= CommitInterval)
        commit();
}

std::optional<bool> ReturnedWorkbookStore::toCheckQuestionType(qint64 questionId)
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

void ReturnedWorkbookStore::toSaveObjectiveFeedback(qint64 questionId, qint64 respondentId, const QDate& surveyDate,
                                                    const QString& weightage, const QString& score, qint64 surveyId)
{
    // A value that is no number leaves the answer unwritten; it is no error of the connection, so nothing is shown.
    const std::optional<int> weight = wholeNumber(weightage);
    const std::optional<int> points = wholeNumber(score);
    if (!weight || !points)
        return;
    try {
        save(statements().objective, questionId, respondentId, surveyDate, *weight, *points, surveyId);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void ReturnedWorkbookStore::toSaveDescriptiveFeedback(qint64 questionId, qint64 respondentId, const QDate& surveyDate,
                                                      const QString& weightage, const QString& answer, qint64 surveyId)
{
    const std::optional<int> weight = wholeNumber(weightage);
    if (!weight)
        return;
    // The untouched placeholder, like an empty cell, is no answer.
    const bool none = answer.isEmpty() || SurveyWorkbookReader::isAnswerPrompt(answer);
    const QVariant description = none ? QVariant(QMetaType(QMetaType::QString)) : QVariant(answer);
    try {
        save(statements().descriptive, questionId, respondentId, surveyDate, *weight, description, surveyId);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void ReturnedWorkbookStore::save(Table& table, qint64 questionId, qint64 respondentId, const QDate& surveyDate,
                                 const QVariant& weightage, const QVariant& last, qint64 surveyId)
{
    const QVariantList values = {respondentId, questionId, surveyDate, weightage, last, surveyId};
    if (m_inWorkbook) {
        // A question that comes twice: the later block's answer is the one kept.
        const auto added = table.addedByQuestion.constFind(questionId);
        if (added != table.addedByQuestion.constEnd()) {
            table.added[*added] = values;
            return;
        }
    }
    const std::optional<qint64> row = storedRow(table, questionId, respondentId, surveyDate);
    if (row) {
        table.update.exec(values + QVariantList{*row});
    } else if (m_inWorkbook) {
        table.addedByQuestion.insert(questionId, table.added.size());
        table.added.append(values);
    } else {
        table.insert.exec(values);
    }
}

std::optional<qint64> ReturnedWorkbookStore::storedRow(Table& table, qint64 questionId, qint64 respondentId,
                                                       const QDate& surveyDate)
{
    if (!m_inWorkbook) {
        QSqlQuery& q = table.find.exec({questionId, respondentId, surveyDate});
        return q.next() ? std::optional<qint64>(q.value(0).toLongLong()) : std::nullopt;
    }
    // While a workbook is stored, its respondent's answers of its date are looked up once for all its questions.
    if (!table.loaded || table.respondentId != respondentId || table.surveyDate != surveyDate) {
        table.rows.clear();
        QSqlQuery& q = table.rowsOf.exec({respondentId, surveyDate});
        while (q.next()) {
            if (!table.rows.contains(q.value(0).toLongLong()))
                table.rows.insert(q.value(0).toLongLong(), q.value(1).toLongLong());
        }
        table.loaded = true;
        table.respondentId = respondentId;
        table.surveyDate = surveyDate;
    }
    const auto it = table.rows.constFind(questionId);
    return it == table.rows.constEnd() ? std::nullopt : std::optional<qint64>(*it);
}

void ReturnedWorkbookStore::addNewAnswers(Table& table)
{
    // One statement adds them all. Should it be refused, it has added none, and they are added one by one, so that
    // each refused answer shows its own errors and the others are stored, as adding them one by one has it.
    if (!table.added.isEmpty()) {
        QJsonArray answers;
        for (const QVariantList& row : std::as_const(table.added)) {
            const QJsonValue last = row[4].isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue::fromVariant(row[4]);
            answers.append(QJsonArray{row[1].toLongLong(), row[3].toInt(), last});
        }
        const QVariantList& first = table.added.first();
        try {
            table.insertAll.exec({first[0], first[2], first[5],
                                  QString::fromUtf8(QJsonDocument(answers).toJson(QJsonDocument::Compact))});
        } catch (const ProviderError&) {
            for (const QVariantList& row : std::as_const(table.added)) {
                try {
                    table.insert.exec(row);
                } catch (const ProviderError& e) {
                    toShowConnectionErrors(e);
                }
            }
        }
    }
    table.added.clear();
    table.addedByQuestion.clear();
    table.loaded = false;
    table.rows.clear();
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
