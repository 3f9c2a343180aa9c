#pragma once

#include "platform/dialogs/MsgBox.h"
#include "platform/workbook/Workbook.h"
#include "shell/gblGlobal.h"
#include "support/AppFixture.h"

#include <QDir>
#include <QFile>
#include <QStringList>

// A returned workbook laid out as the export lays it out: header ids in column I, blocks from row 14.
class ReturnedWorkbook
{
public:
    ReturnedWorkbook(const QVariant& respondent, const QDate& date, const QVariant& survey)
        : m_book(Workbook::createNew()), m_sheet(m_book->sheet(QStringLiteral("Sheet1")))
    {
        m_sheet->setValue(2, 9, respondent);
        m_sheet->setValue(3, 9, date);
        m_sheet->setValue(5, 9, survey);
    }
    ReturnedWorkbook& scored(const QVariant& id, const QVariant& weightage, const QVariant& score)
    {
        block(id, weightage);
        m_sheet->setValue(m_row, 3, score);
        m_row += 2;
        return *this;
    }
    ReturnedWorkbook& descriptive(const QVariant& id, const QVariant& weightage, const QVariant& answer)
    {
        block(id, weightage);
        m_sheet->setValue(m_row + 1, 2, answer);
        m_row += 3;
        return *this;
    }
    ReturnedWorkbook& cell(int row, int column, const QVariant& value)
    {
        m_sheet->setValue(row, column, value);
        return *this;
    }
    // I4 is the number of blocks unless set with cell().
    QString save(const QString& path)
    {
        if (!m_sheet->value(4, 9).isValid())
            m_sheet->setValue(4, 9, m_blocks);
        m_sheet->protect(QString::fromLatin1(kDatabasePassword));
        EXPECT_TRUE(m_book->saveAs(path)) << m_book->errorString().toStdString();
        return path;
    }

private:
    void block(const QVariant& id, const QVariant& weightage)
    {
        m_sheet->setValue(m_row, 9, id);
        m_sheet->setValue(m_row, 4, weightage);
        ++m_blocks;
    }

    std::unique_ptr<Workbook> m_book;
    Worksheet* m_sheet = nullptr;
    int m_row = 14;
    int m_blocks = 0;
};

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
