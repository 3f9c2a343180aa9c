#include "surveys/distribution/DistributionStore.h"

#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"
#include "surveys/SurveyStore.h"

QString DistributionStore::toGetStandardMessage(const QString& customerName)
{
    try {
        toTestConnection();
        const QVariant message =
            Db::scalar(QStringLiteral("select standardmessage from standardmessage where customerid=? order by rowid"),
                       {toGetCustomerID(customerName)});
        return message.isNull() ? QString() : trimBlanks(message.toString());
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return QString();
    }
}

void DistributionStore::toWriteStandardMessage(const QString& customerName, const QString& text)
{
    try {
        toTestConnection();
        const int custid = toGetCustomerID(customerName);
        if (custid == 0)
            return;
        const QString replaced = toReplaceQuote(text);
        const QString stored = replaced.isEmpty() ? trimBlanks(text) : replaced;
        // Only the customer's first row is ever read, so that is the one rewritten.
        const QVariant row =
            Db::scalar(QStringLiteral("select rowid from standardmessage where customerid=? order by rowid"), {custid});
        if (row.isValid())
            Db::exec(QStringLiteral("update standardmessage set customerid=?, standardmessage=? where rowid=?"),
                     {custid, stored, row});
        else
            Db::exec(QStringLiteral("insert into standardmessage (customerid, standardmessage) values (?, ?)"),
                     {custid, stored});
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

QString DistributionStore::toGetRespondentEmail(const QString& respondentName, const QString& customerName,
                                                int respondentId)
{
    try {
        toTestConnection();
        const int respid = SurveyStore::respondentId(toGetCustomerID(customerName),
                                                     SurveyKey{customerName, respondentName, QDate(), respondentId});
        // Older rows may hold Null where newer ones hold empty text: both mean no address.
        return Db::scalar(QStringLiteral("select coalesce(emailid, '') from respondent where respondentid=?"), {respid})
            .toString();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return QString();
    }
}

QString DistributionStore::trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}
