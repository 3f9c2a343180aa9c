#pragma once

#include "shell_windows/MainWindowFixture.h"

#include "platform/desktop/Desktop.h"
#include "platform/report/ReportControl.h"
#include "shell/Progress.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>

// The main window with its report control in test mode, and answers and actions stored as the program stores them.
class ReportWindowsFixture : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        MainWindowFixture::SetUp();
        ReportControl::setTestMode(true);
        ReportControl::clearRuns();
    }

    void TearDown() override
    {
        Desktop::setToday(QDate());
        MainWindowFixture::TearDown();
        QLocale::setDefault(QLocale::system());
    }

    int customer(const QString& name)
    {
        run(QStringLiteral("insert into customer (custname) values (?)"), {name});
        return value(QStringLiteral("select max(custid) from customer")).toInt();
    }

    int respondent(int custid, const QString& name)
    {
        run(QStringLiteral("insert into respondent (custid, respondentname) values (?, ?)"), {custid, name});
        return value(QStringLiteral("select max(respondentid) from respondent")).toInt();
    }

    // A question of the named parameter, which is made when it is new.
    int question(const QString& parameter, const QString& text, bool scored)
    {
        if (!value(QStringLiteral("select paramid from parameter where parametername=?"), {parameter}).isValid())
            run(QStringLiteral("insert into parameter (parametername) values (?)"), {parameter});
        run(QStringLiteral("insert into questions (question, Type, paramid) "
                           "select ?, ?, paramid from parameter where parametername=?"),
            {text, scored ? 1 : 0, parameter});
        return value(QStringLiteral("select max(questionid) from questions")).toInt();
    }

    void survey(int custid, const QDate& date)
    {
        run(QStringLiteral("insert into survey (sdate, custid) values (?, ?)"), {date.toString(Qt::ISODate), custid});
    }

    void scored(int respid, int questionid, const QDate& date, const QVariant& weightage, const QVariant& score)
    {
        run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveydate, weightage, score) "
                           "values (?, ?, ?, ?, ?)"),
            {respid, questionid, date.toString(Qt::ISODate), weightage, score});
    }

    void written(int respid, int questionid, const QDate& date, const QVariant& weightage, const QVariant& text)
    {
        run(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveydate, weightage, "
                           "Description) values (?, ?, ?, ?, ?)"),
            {respid, questionid, date.toString(Qt::ISODate), weightage, text});
    }

    void action(int custid, const QString& text, const QDate& date, bool complete)
    {
        run(QStringLiteral("insert into actionplan (customerid, Action, \"Date\", targetdate, Status) "
                           "values (?, ?, ?, ?, ?)"),
            {custid, text, date.toString(Qt::ISODate), date.addMonths(1).toString(Qt::ISODate), complete ? 1 : 0});
    }

    // Rows of a report table as text, fields joined by "|", an empty field for Null.
    QStringList tableRows(const QString& sql)
    {
        QStringList lines;
        for (const QVariant& row : rows(sql)) {
            QStringList cells;
            for (const QVariant& cell : row.toList())
                cells << (cell.isNull() ? QString() : cell.toString());
            lines << cells.join(QLatin1Char('|'));
        }
        return lines;
    }

    // The last report run as pdftotext reads its PDF.
    QString lastReportText()
    {
        if (ReportControl::runs().isEmpty())
            return QString();
        const QString file = QDir(folder()).filePath(QStringLiteral("report.pdf"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        out.write(ReportControl::runs().last().pdf);
        out.close();
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // Status text and pointer are back as they were before the button was pressed.
    void expectIdle() const
    {
        EXPECT_EQ(Progress::text(), QString());
        EXPECT_FALSE(Progress::busy());
    }
};
