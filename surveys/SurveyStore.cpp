#include "surveys/SurveyStore.h"

#include "platform/report/ValueFormat.h"
#include "shell/Db.h"
#include "shell/gblGlobal.h"

#include <QHash>
#include <QSqlQuery>

namespace
{

QStringList firstColumn(const QString& sql, const QVariantList& values = {})
{
    QSqlQuery q = Db::exec(sql, values);
    QStringList list;
    while (q.next())
        list << q.value(0).toString();
    return list;
}

int intOrZero(const QVariant& v)
{
    return v.isValid() && !v.isNull() ? v.toInt() : 0;
}

} // namespace

QStringList SurveyStore::customers()
{
    return firstColumn(QStringLiteral("select custname from customer order by rowid"));
}

QStringList SurveyStore::customersWithSurveys()
{
    return firstColumn(QStringLiteral("select distinct custname from existingsurvey"));
}

QList<SurveyStore::Respondent> SurveyStore::respondentsOf(const QString& customer)
{
    QSqlQuery q =
        Db::exec(QStringLiteral("select respondentname, respondentid from custresp where custname=?"), {customer});
    QList<Respondent> list;
    while (q.next())
        list << Respondent{q.value(0).toString(), q.value(1).toInt()};
    return list;
}

int SurveyStore::respondentId(int custid, const QString& respondent)
{
    if (custid == 0 || respondent.isEmpty())
        return 0;
    return intOrZero(Db::scalar(
        QStringLiteral("select respondentid from custresp where custid=? and respondentname=? order by respondentid"),
        {custid, respondent}));
}

int SurveyStore::respondentId(int custid, const SurveyKey& survey)
{
    if (survey.respondentId == 0)
        return respondentId(custid, survey.respondent);
    if (custid == 0)
        return 0;
    // The name must still be the one shown: a respondent renamed meanwhile is not silently taken.
    return intOrZero(
        Db::scalar(QStringLiteral("select respondentid from custresp where respondentid=? and custid=? and "
                                  "respondentname=?"),
                   {survey.respondentId, custid, survey.respondent}));
}

int SurveyStore::surveyId(const QDate& date, int custid)
{
    if (!date.isValid() || custid == 0)
        return 0;
    return intOrZero(Db::scalar(
        QStringLiteral("select surveyid from survey where sdate=? and custid=? order by surveyid"), {date, custid}));
}

QList<QDate> SurveyStore::surveyDates(int custid, int respid)
{
    QSqlQuery q = Db::exec(QStringLiteral("select distinct sdate from existingsurvey where custid=? and "
                                          "respondentid=? order by sdate asc"),
                           {custid, respid});
    QList<QDate> dates;
    while (q.next())
        dates << toDate(q.value(0));
    return dates;
}

bool SurveyStore::surveyExists(const QDate& date, int custid, int respid)
{
    return Db::exists(QStringLiteral("select 1 from existingsurvey where sdate=? and custid=? and respondentid=?"),
                      {date, custid, respid});
}

QList<SurveyStore::CatalogueParameter> SurveyStore::catalogue()
{
    // One statement for the whole catalogue (one per parameter is too slow for a large one); the database makes
    // each parameter's questions distinct, here the names sharing a parameter are gathered under its first.
    QSqlQuery q = Db::exec(QStringLiteral(
        "select parametername, question, Type, min(paramid) as firstparam, min(questionid) as firstquestion "
        "from param group by parametername, question, Type order by firstparam, firstquestion"));
    QList<CatalogueParameter> list;
    QHash<QString, qsizetype> index;
    while (q.next()) {
        const QString name = q.value(0).toString();
        const QString key = name.toLower();
        auto at = index.constFind(key);
        if (at == index.constEnd()) {
            at = index.insert(key, list.size());
            list << CatalogueParameter{name, {}};
        }
        list[*at].questions << CatalogueQuestion{q.value(1).toString(), q.value(2).toInt() != 0};
    }
    return list;
}

SurveyStore::Lookup SurveyStore::findSurveyQuestions(const SurveyKey& survey, QList<Question>* questions)
{
    const int custid = toGetCustomerID(survey.customer);
    const int surveyid = surveyId(survey.date, custid);
    if (surveyid == 0)
        return Lookup::Missing;
    if (survey.respondent.isEmpty())
        return Lookup::NoRespondent;
    const int respid = respondentId(custid, survey);
    if (respid == 0)
        return Lookup::Missing;
    *questions = surveyQuestions(respid, surveyid);
    return Lookup::Found;
}

QList<SurveyStore::Question> SurveyStore::surveyQuestions(int respid, int surveyid)
{
    QSqlQuery q = Db::exec(QStringLiteral("select parametername, question from responquery where respondentid=? "
                                          "and surveyid=? order by responquery.\"Order\""),
                           {respid, surveyid});
    QList<Question> list;
    while (q.next())
        list << Question{q.value(0).toString(), q.value(1).toString()};
    return list;
}

int SurveyStore::ensureSurvey(const QDate& date, int custid)
{
    if (!date.isValid() || custid == 0)
        return 0;
    const int existing = surveyId(date, custid);
    if (existing != 0)
        return existing;
    Db::exec(QStringLiteral("insert into survey (sdate, custid) values (?, ?)"), {date, custid});
    return surveyId(date, custid);
}

void SurveyStore::storeQuestions(int respid, int surveyid, const QList<Question>& questions)
{
    Db::exec(QStringLiteral("delete from responquesindex where respondentid=? and surveyid=?"), {respid, surveyid});
    int order = 0;
    for (const Question& q : questions) {
        const QVariant questionid = Db::scalar(
            QStringLiteral("select questionid from param where question=? and parametername=? order by questionid"),
            {q.question, q.parameter});
        if (!questionid.isValid())
            continue;
        Db::exec(QStringLiteral("insert into responquesindex (respondentid, questionid, \"Order\", surveyid) "
                                "values (?, ?, ?, ?)"),
                 {respid, questionid, ++order, surveyid});
    }
}

int SurveyStore::moveQuestion(int respid, int surveyid, const Question& question, int step)
{
    // The question's own stored row, found by its names, so that a grid that is not current cannot make the
    // move touch another question or leave two rows on one position.
    QSqlQuery own = Db::exec(
        QStringLiteral("select responquesindex.rowid, responquesindex.\"Order\" from responquesindex "
                       "inner join questions on questions.questionid = responquesindex.questionid "
                       "inner join parameter on parameter.paramid = questions.paramid "
                       "where responquesindex.respondentid=? and responquesindex.surveyid=? "
                       "and questions.question=? and parameter.parametername=? order by responquesindex.\"Order\""),
        {respid, surveyid, question.question, question.parameter});
    if (!own.next())
        return 0;
    const qint64 ownRow = own.value(0).toLongLong();
    const int from = own.value(1).toInt();
    own.finish();
    const int to = from + step;
    const QVariant other = Db::scalar(QStringLiteral("select rowid from responquesindex where respondentid=? and "
                                                     "surveyid=? and \"Order\"=? order by rowid"),
                                      {respid, surveyid, to});
    if (to < 1 || !other.isValid())
        return 0;
    Db::exec(QStringLiteral("update responquesindex set \"Order\"=? where rowid=?"), {from, other});
    Db::exec(QStringLiteral("update responquesindex set \"Order\"=? where rowid=?"), {to, ownRow});
    return to;
}

int SurveyStore::appendMissing(int sourceRespid, int sourceSurveyid, int targetRespid, int targetSurveyid)
{
    int last = intOrZero(
        Db::scalar(QStringLiteral("select max(\"Order\") from responquesindex where respondentid=? and surveyid=?"),
                   {targetRespid, targetSurveyid}));
    // Read the source through before writing, so that no cursor stays open on the rows being added to.
    struct Row {
        QVariant questionid, parameter, question;
    };
    QList<Row> rows;
    QSqlQuery source = Db::exec(QStringLiteral("select questionid, parametername, question from responquery "
                                               "where respondentid=? and surveyid=? order by responquery.\"Order\""),
                                {sourceRespid, sourceSurveyid});
    while (source.next())
        rows << Row{source.value(0), source.value(1), source.value(2)};
    source.finish();
    int added = 0;
    for (const Row& row : rows) {
        const bool present = Db::exists(QStringLiteral("select 1 from responquery where parametername=? and "
                                                       "question=? and respondentid=? and surveyid=?"),
                                        {row.parameter, row.question, targetRespid, targetSurveyid});
        if (present)
            continue;
        Db::exec(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                                "values (?, ?, ?, ?)"),
                 {targetRespid, row.questionid, targetSurveyid, ++last});
        ++added;
    }
    return added;
}

void SurveyStore::deleteRespondentSurvey(int custid, int respid, const QDate& date)
{
    // Every survey row of the date, should the customer have more than one.
    QList<QVariant> surveys;
    QSqlQuery q = Db::exec(QStringLiteral("select surveyid from survey where sdate=? and custid=? order by surveyid"),
                           {date, custid});
    while (q.next())
        surveys << q.value(0);
    q.finish();
    for (const QVariant& surveyid : surveys) {
        Db::exec(QStringLiteral("delete from responquesindex where surveyid=? and respondentid=?"), {surveyid, respid});
        Db::exec(QStringLiteral("delete from reportlinktable where sdate=? and respondentid=?"), {date, respid});
        for (const char* table : {"feedbackobjective", "feedbackdescriptive"})
            Db::exec(QStringLiteral("delete from %1 where surveyid=? and respondentid=? and surveydate=?")
                         .arg(QLatin1String(table)),
                     {surveyid, respid, date});
        Db::exec(QStringLiteral("delete from log where surveyid=? and respid=?"), {surveyid, respid});
        // The survey row is shared by every respondent of the customer on that date.
        if (!Db::exists(QStringLiteral("select 1 from responquesindex where surveyid=?"), {surveyid}))
            Db::exec(QStringLiteral("delete from survey where surveyid=?"), {surveyid});
    }
}

ProviderError SurveyStore::notFound(const QString& action, const SurveyKey& key, const QString& outcome)
{
    return ProviderError(
        {ErrorRecord{0, QStringLiteral("The survey ") + action + QStringLiteral(" (") + key.customer +
                            QStringLiteral(", ") + key.respondent + QStringLiteral(", ") + dateText(key.date) +
                            QStringLiteral(") was not found: its customer, respondent or date was "
                                           "renamed or deleted meanwhile. ") +
                            outcome}});
}

QDate SurveyStore::toDate(const QVariant& value)
{
    return ValueFormat::toDate(value);
}

QString SurveyStore::dateText(const QDate& date)
{
    return ValueFormat::formatDate(date);
}
