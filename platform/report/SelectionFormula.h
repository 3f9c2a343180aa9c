#pragma once

#include <QDate>
#include <QList>
#include <QString>

// A record selection formula as the program writes them:
//   {log.custname}='North Works'
//   {reportlinktable.respondentname} = ['Front Desk'] and {reportlinktable.sdate}=date(2002,03,05)
//   {action.custname}='X' and {action.date}>=date(2024,1,1)and {action.date}<=date(2024,1,31)
// Conditions compare a field with a text or a date by =, >= or <=, joined by "and". Callers put names into the
// quotes unescaped, so a quote closes a text only where the formula ends or goes on with "and" (or with "or" or
// a field, which are then refused); any other apostrophe belongs to the name.
class SelectionFormula
{
public:
    struct Condition {
        QString table;
        QString field;
        QString op; // "=", ">=" or "<="
        QString text;
        QDate date; // valid when the value is a date
    };

    // False with the reason when the formula is outside the grammar above. A blank formula selects every row.
    bool parse(const QString& formula, QString* error);
    const QList<Condition>& conditions() const { return m_conditions; }

private:
    bool parseFrom(int pos);
    bool parseValue(int pos, Condition c);
    bool parseRest(int pos);
    void fail(int pos, const QString& expected);

    QString m_text;
    QList<Condition> m_conditions;
    int m_failPos = -1;
    QString m_expected;
};
