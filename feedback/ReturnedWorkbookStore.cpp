#include "feedback/ReturnedWorkbookStore.h"

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

// One answer table with its statements, and the answers of the workbook being stored that it already holds.
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
          update(QStringLiteral("update %1 set respondentid=?, questionid=?, surveydate=?, weightage=?, %2=?, "
                                "surveyid=? where rowid=?")
                     .arg(name, last))
    {
    }

    Statement find;
    Statement rowsOf;
    Statement insert;
    Statement update;

    // For the respondent and date of the workbook being stored: question id -> row of its first stored answer
    // (0 for a row this run added, whose number is looked up again when the question comes twice).
    bool loaded = false;
    qint64 respondentId = 0;
    QDate surveyDate;
    QHash<qint64, qint64> rows;
};

struct ReturnedWorkbookStore::Statements {
    Statement questionType{QStringLiteral("select Type from questions where questionid=? order by rowid limit 1")};
    Statement logStatus{QStringLiteral("update log set Status=1 where rowid=(select rowid from log where "
                                       "xlsfilename=? order by rowid limit 1)")};
    Table objective{QStringLiteral("feedbackobjective"), QStringLiteral("score")};
    Table descriptive{QStringLiteral("feedbackdescriptive"), QStringLiteral("Description")};
};

ReturnedWorkbookStore::ReturnedWorkbookStore() = default;
ReturnedWorkbookStore::~ReturnedWorkbookStore() = default;

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
    // One workbook's answers are committed together at its end, whatever failed on the way. A failing statement
    // undoes itself alone, so what was stored before it stays stored, as answers written one by one have it,
    // without paying for a commit per answer.
    statements();
    QSqlDatabase db = gConnection();
    const bool batched = db.transaction();
    forgetStoredRows();
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
    forgetStoredRows();
    if (batched && !db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        toShowConnectionErrors(ProviderError(Db::errorRecords(error)));
    }
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
    const QVariant description =
        SurveyWorkbookReader::isAnswerPrompt(answer) ? QVariant(QMetaType(QMetaType::QString)) : QVariant(answer);
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
    const std::optional<qint64> row = storedRow(table, questionId, respondentId, surveyDate);
    if (row) {
        table.update.exec(values + QVariantList{*row});
        return;
    }
    table.insert.exec(values);
    if (table.loaded)
        table.rows.insert(questionId, 0);
}

std::optional<qint64> ReturnedWorkbookStore::storedRow(Table& table, qint64 questionId, qint64 respondentId,
                                                       const QDate& surveyDate)
{
    // While a workbook is stored, its respondent's answers of its date are looked up once for all its questions.
    if (m_inWorkbook) {
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
        if (it == table.rows.constEnd())
            return std::nullopt;
        if (*it != 0)
            return *it;
    }
    QSqlQuery& q = table.find.exec({questionId, respondentId, surveyDate});
    return q.next() ? std::optional<qint64>(q.value(0).toLongLong()) : std::nullopt;
}

void ReturnedWorkbookStore::forgetStoredRows()
{
    if (!m_statements)
        return;
    for (Table* table : {&m_statements->objective, &m_statements->descriptive}) {
        table->loaded = false;
        table->rows.clear();
    }
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
