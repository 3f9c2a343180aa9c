#include "feedback/AnswerTables.h"

#include "shell/Db.h"

#include <QSqlQuery>

namespace AnswerTables
{

namespace
{

struct Table {
    QString name;
    QString idColumn;
    QString answerColumn;
};

Table table(bool scored)
{
    if (scored)
        return {QStringLiteral("feedbackobjective"), QStringLiteral("feedbackobjid"), QStringLiteral("score")};
    return {QStringLiteral("feedbackdescriptive"), QStringLiteral("feedbackdescid"), QStringLiteral("Description")};
}

} // namespace

std::optional<Answer> find(bool scored, const Key& key)
{
    const Table t = table(scored);
    QSqlQuery q = Db::exec(QStringLiteral("select %1, weightage, %2 from %3 where respondentid=? and questionid=? and "
                                          "surveydate=? order by rowid limit 1")
                               .arg(t.idColumn, t.answerColumn, t.name),
                           {key.respondentId, key.questionId, key.surveyDate});
    if (!q.next())
        return std::nullopt;
    return Answer{q.value(0).toLongLong(), q.value(1), q.value(2)};
}

void write(bool scored, qlonglong id, const Key& key, int surveyId, const QVariant& weightage,
           const QVariant& scoreOrDescription)
{
    const Table t = table(scored);
    if (id != 0) {
        Db::exec(QStringLiteral("update %1 set respondentid=?, questionid=?, surveydate=?, weightage=?, %2=?, "
                                "surveyid=? where %3=?")
                     .arg(t.name, t.answerColumn, t.idColumn),
                 {key.respondentId, key.questionId, key.surveyDate, weightage, scoreOrDescription, surveyId, id});
        return;
    }
    Db::exec(QStringLiteral("insert into %1 (respondentid, questionid, surveydate, weightage, %2, surveyid) "
                            "values (?, ?, ?, ?, ?, ?)")
                 .arg(t.name, t.answerColumn),
             {key.respondentId, key.questionId, key.surveyDate, weightage, scoreOrDescription, surveyId});
}

} // namespace AnswerTables
