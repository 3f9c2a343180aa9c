#pragma once

#include "platform/dialogs/MsgBox.h"
#include "platform/report/ReportControl.h"
#include "shell/MDIMain.h"
#include "shell/gblGlobal.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QDate>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Customers, respondents, scored questions and surveys, with answers stored in the answer table as the feedback
// windows store them; a shown main window to open the analysis windows from.
class AnswerFixture : public AppFixture
{
protected:
    const QDate d1{2031, 3, 14};
    const QDate d2{2031, 6, 1};
    const QDate d3{2031, 9, 30};

    void SetUp() override
    {
        AppFixture::SetUp();
        MsgBox::clearRecords();
        ReportControl::clearRuns();
        gCompanyName = QStringLiteral("Harbour Quality Ltd");
        m_main = std::make_unique<MDIMain>();
        m_main->show();
    }

    void TearDown() override
    {
        m_main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AppFixture::TearDown();
    }

    int customer(const QString& name)
    {
        run(QStringLiteral("insert into customer (custname) values (?)"), {name});
        return value(QStringLiteral("select max(custid) from customer")).toInt();
    }

    int respondent(int custId, const QString& name)
    {
        run(QStringLiteral("insert into respondent (custid, respondentname) values (?, ?)"), {custId, name});
        return value(QStringLiteral("select max(respondentid) from respondent")).toInt();
    }

    // A scored question of the parameter, made when it is not there yet.
    int question(const QString& parameter, const QString& text = QStringLiteral("How well?"))
    {
        QVariant paramId = value(QStringLiteral("select paramid from parameter where parametername=?"), {parameter});
        if (!paramId.isValid()) {
            run(QStringLiteral("insert into parameter (parametername) values (?)"), {parameter});
            paramId = value(QStringLiteral("select max(paramid) from parameter"));
        }
        QVariant id =
            value(QStringLiteral("select questionid from questions where paramid=? and question=?"), {paramId, text});
        if (!id.isValid()) {
            run(QStringLiteral("insert into questions (question, Type, paramid) values (?, 1, ?)"), {text, paramId});
            id = value(QStringLiteral("select max(questionid) from questions"));
        }
        return id.toInt();
    }

    // The survey of the customer's date, made when needed, with the question in the respondent's survey.
    int survey(int custId, const QDate& date, int respondentId, int questionId)
    {
        QVariant id =
            value(QStringLiteral("select surveyid from survey where custid=? and sdate=?"), {custId, iso(date)});
        if (!id.isValid()) {
            run(QStringLiteral("insert into survey (sdate, custid) values (?, ?)"), {iso(date), custId});
            id = value(QStringLiteral("select max(surveyid) from survey"));
        }
        if (!value(QStringLiteral("select count(*) from responquesindex where respondentid=? and questionid=? "
                                  "and surveyid=?"),
                   {respondentId, questionId, id})
                 .toInt())
            run(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                               "values (?, ?, ?, 1)"),
                {respondentId, questionId, id});
        return id.toInt();
    }

    // One stored answer; an invalid QVariant stores an empty value.
    void answer(int custId, int respondentId, int questionId, const QDate& date, const QVariant& weightage,
                const QVariant& score)
    {
        const int surveyId = survey(custId, date, respondentId, questionId);
        run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                           "score) values (?, ?, ?, ?, ?, ?)"),
            {respondentId, questionId, surveyId, iso(date), weightage, score});
    }

    // Answers of one respondent to one question, stored in the order given.
    void answerRows(int custId, int respondentId, int questionId, const QDate& date,
                    const QList<QPair<QVariant, QVariant>>& given)
    {
        const int surveyId = survey(custId, date, respondentId, questionId);
        QStringList rows;
        QVariantList values;
        for (const auto& [weightage, score] : given) {
            rows << QStringLiteral("(?, ?, ?, ?, ?, ?)");
            values << respondentId << questionId << surveyId << iso(date) << weightage << score;
        }
        run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                           "score) values ") +
                rows.join(QLatin1Char(',')),
            values);
    }

    static QString iso(const QDate& d) { return d.toString(Qt::ISODate); }

    static void select(QListWidget* list, const QStringList& texts)
    {
        list->clearSelection();
        for (const QString& t : texts)
            for (QListWidgetItem* item : list->findItems(t, Qt::MatchExactly))
                item->setSelected(true);
    }

    // The text of a PDF, as an independent reader sees it.
    static QString pdfText(const QByteArray& pdf)
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("r.pdf")));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(pdf);
        file.close();
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file.fileName(), QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    std::unique_ptr<MDIMain> m_main;
};
