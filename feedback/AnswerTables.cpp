#include "feedback/AnswerTables.h"

#include "shell/Db.h"

#include <QJsonArray>
#include <QJsonDocument>
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

QHash<int, Answer> findAll(bool scored, int respondentId, const QDate& surveyDate)
{
    const Table t = table(scored);
    QSqlQuery q = Db::exec(QStringLiteral("select questionid, %1, weightage, %2 from %3 where respondentid=? and "
                                          "surveydate=? and questionid is not null order by rowid")
                               .arg(t.idColumn, t.answerColumn, t.name),
                           {respondentId, surveyDate});
    QHash<int, Answer> answers;
    while (q.next()) {
        const int question = q.value(0).toInt();
        if (!answers.contains(question))
            answers.insert(question, Answer{q.value(1).toLongLong(), q.value(2), q.value(3)});
    }
    return answers;
}

QVariant respondentOf(bool scored, qlonglong id)
{
    const Table t = table(scored);
    return Db::scalar(QStringLiteral("select respondentid from %1 where %2=?").arg(t.name, t.idColumn), {id});
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

void addAll(bool scored, int respondentId, const QDate& surveyDate, int surveyId, const QList<NewAnswer>& answers)
{
    // The answers travel as one bound array of [question, weightage, answer].
    QJsonArray rows;
    for (const NewAnswer& a : answers) {
        const QJsonValue answer = a.scoreOrDescription.isNull() ? QJsonValue(QJsonValue::Null)
                                                                : QJsonValue::fromVariant(a.scoreOrDescription);
        rows.append(QJsonArray{a.questionId, a.weightage.toInt(), answer});
    }
    const Table t = table(scored);
    Db::exec(
        QStringLiteral("insert into %1 (respondentid, questionid, surveydate, weightage, %2, surveyid) "
                       "select ?, json_extract(value, '$[0]'), ?, json_extract(value, '$[1]'), "
                       "json_extract(value, '$[2]'), ? from json_each(?) order by key")
            .arg(t.name, t.answerColumn),
        {respondentId, surveyDate, surveyId, QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact))});
}

} // namespace AnswerTables
