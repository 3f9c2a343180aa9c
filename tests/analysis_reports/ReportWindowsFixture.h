#pragma once

#include "shell_windows/MainWindowFixture.h"

#include "analysis/frmImprovementPlan.h"
#include "feedback/AnswerTables.h"
#include "platform/desktop/Desktop.h"
#include "platform/report/ReportControl.h"
#include "shell/Progress.h"

#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

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

    // Answers stored as the feedback window and the workbook readers store them.
    void scored(int respid, int questionid, const QDate& date, const QVariant& weightage, const QVariant& score)
    {
        AnswerTables::write(true, 0, {respid, questionid, date}, 0, weightage, score);
    }

    void written(int respid, int questionid, const QDate& date, const QVariant& weightage, const QVariant& text)
    {
        AnswerTables::write(false, 0, {respid, questionid, date}, 0, weightage, text);
    }

    // An action saved through the improvement-tracking window, for that customer alone.
    void action(const QString& customerName, const QString& text, const QDate& date, bool complete)
    {
        main()->mnuImprovementPlan->trigger();
        auto* w = main()->child<frmImprovementPlan>();
        w->lstCusName->clearSelection();
        const QList<QListWidgetItem*> items = w->lstCusName->findItems(customerName, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        items.first()->setSelected(true);
        w->dtdate->setDate(date);
        w->dttargetDate->setDate(date.addMonths(1));
        w->txtDescription->setText(text);
        (complete ? w->opnComplete : w->opnNotComplete)->click();
        w->cmdSave->click();
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
