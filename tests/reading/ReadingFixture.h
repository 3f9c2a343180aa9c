#pragma once

#include "ReturnedWorkbook.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/gblGlobal.h"
#include "support/AppFixture.h"

#include <QDir>
#include <QFile>
#include <QStringList>

// One customer (3) with respondent 12 and survey 7 of 2024-03-15; scored questions 1, 2, 3 and 6, descriptive
// questions 4 and 5; a log row for the workbook "7312.xlsx".
class ReadingFixture : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        MsgBox::clearRecords();
        run(QStringLiteral("insert into customer (custid, custname) values (3, 'Harbour Instruments')"));
        run(QStringLiteral("insert into respondent (respondentid, custid, respondentname) values (12, 3, 'Ann Lee')"));
        run(QStringLiteral("insert into survey (surveyid, sdate, custid) values (7, '2024-03-15', 3)"));
        run(QStringLiteral("insert into parameter (paramid, parametername) values (1, 'Service')"));
        for (int id = 1; id <= 6; ++id)
            run(QStringLiteral("insert into questions (questionid, question, Type, paramid) values (?, ?, ?, 1)"),
                {id, QStringLiteral("Question %1").arg(id), id == 4 || id == 5 ? 0 : 1});
        addLog(QStringLiteral("7312.xlsx"));
    }

    void addLog(const QString& fileName, const QString& customer = QStringLiteral("Harbour Instruments"))
    {
        run(QStringLiteral("insert into log (custname, respname, xlsfilename, sdate, surveyid, respid, Status) "
                           "values (?, 'Ann Lee', ?, '2024-03-15', 7, 12, 0)"),
            {customer, fileName});
    }
    int logStatus(const QString& fileName) const
    {
        return value(QStringLiteral("select Status from log where xlsfilename=?"), {fileName}).toInt();
    }

    QString path(const QString& name) const { return QDir(folder()).filePath(name); }

    // Stored answers, one "question|respondent|date|survey|weightage|score" (or description) per row, by question.
    QStringList objective() const { return answers(QStringLiteral("feedbackobjective"), QStringLiteral("score")); }
    QStringList descriptive() const
    {
        return answers(QStringLiteral("feedbackdescriptive"), QStringLiteral("Description"));
    }
    QStringList answers(const QString& table, const QString& last) const
    {
        QStringList result;
        for (const QVariant& row :
             rows(QStringLiteral("select questionid, respondentid, surveydate, surveyid, weightage, %2 from %1 "
                                 "order by questionid, rowid")
                      .arg(table, last))) {
            QStringList cells;
            for (const QVariant& v : row.toList())
                cells << (v.isNull() ? QStringLiteral("NULL") : v.toString());
            result << cells.join(u'|');
        }
        return result;
    }

    static QStringList messages()
    {
        QStringList texts;
        for (const MsgBox::Shown& s : MsgBox::shown())
            texts << s.text;
        return texts;
    }
};
