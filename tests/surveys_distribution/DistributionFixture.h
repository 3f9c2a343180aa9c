#pragma once

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/report/ReportControl.h"
#include "platform_mail/MailRecorder.h"
#include "shell/Progress.h"
#include "shell/gblGlobal.h"
#include "support/AppFixture.h"
#include "surveys/SurveyWindows.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

// Two customers with respondents and addresses, a small catalogue of questions, and the desktop's mail tools
// replaced by a recorder (on a PATH of their own) before each test.
class DistributionFixture : public AppFixture
{
protected:
    const QDate d1{2031, 3, 14};
    const QDate d2{2031, 6, 1};

    void SetUp() override
    {
        AppFixture::SetUp();
        SurveyWindows::useDefaults();
        MsgBox::clearRecords();
        ReportControl::clearRuns();
        Desktop::setTestMode(true);
        gCompanyName = QStringLiteral("Harbour Quality Ltd");
        mail = std::make_unique<MailRecorder>();
        run(QStringLiteral("insert into customer (custname) values ('Acme'), ('Zenith')"));
        run(QStringLiteral("insert into respondent (custid, respondentname, emailid) values "
                           "(1, 'Ann', 'ann@acme.example'), (1, 'Bob', ''), (1, 'Cy', '-cy@acme.example'), "
                           "(2, 'Zed', 'zed@zenith.example')"));
        run(QStringLiteral("insert into respondent (custid, respondentname) values (1, 'Dee')"));
        run(QStringLiteral("insert into parameter (parametername) values ('Service'), ('Delivery')"));
        run(QStringLiteral("insert into questions (question, Type, paramid) values ('Speed of reply', 1, 1), "
                           "('Courtesy', 1, 1), ('Comments', 0, 1), ('On time', 1, 2)"));
    }

    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            delete w;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        mail.reset();
        AppFixture::TearDown();
    }

    static QString iso(const QDate& d) { return d.toString(Qt::ISODate); }
    int customerId(const QString& name) const
    {
        return value(QStringLiteral("select custid from customer where custname=?"), {name}).toInt();
    }
    int respondentId(const QString& name) const
    {
        return value(QStringLiteral("select respondentid from respondent where respondentname=?"), {name}).toInt();
    }

    // A survey of the given questions (by text), in this order.
    void storeSurvey(const QString& customer, const QString& respondent, const QDate& date,
                     const QStringList& questions)
    {
        const int custid = customerId(customer);
        QVariant surveyid =
            value(QStringLiteral("select surveyid from survey where sdate=? and custid=?"), {iso(date), custid});
        if (!surveyid.isValid() || surveyid.isNull()) {
            run(QStringLiteral("insert into survey (sdate, custid) values (?, ?)"), {iso(date), custid});
            surveyid = value(QStringLiteral("select max(surveyid) from survey"));
        }
        int order = 0;
        for (const QString& q : questions)
            run(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") values "
                               "(?, (select questionid from questions where question=?), ?, ?)"),
                {respondentId(respondent), q, surveyid, ++order});
    }

    // A log row, and its workbook in the program's folder unless told otherwise.
    void addLog(const QString& customer, const QString& respondent, const QString& file, const QDate& date,
                const QVariant& status = 0, bool withFile = true)
    {
        run(QStringLiteral("insert into log (custname, respname, xlsfilename, sdate, respid, Status) values "
                           "(?, ?, ?, ?, ?, ?)"),
            {customer, respondent, file, iso(date), respondentId(respondent), status});
        if (withFile)
            writeFile(programFile(file));
    }
    static void writeFile(const QString& path)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write("PK workbook");
    }

    QStringList logFiles() const
    {
        QStringList list;
        for (const QVariant& r : rows(QStringLiteral("select xlsfilename from log order by rowid")))
            list << r.toList()[0].toString();
        return list;
    }

    QStringList boxTexts() const
    {
        QStringList list;
        for (const MsgBox::Shown& s : MsgBox::shown())
            list << s.text;
        return list;
    }

    // The text of a report run, as pdftotext reads its PDF.
    QString pdfText(const QByteArray& pdf) const
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        out.write(pdf);
        out.close();
        QProcess p;
        p.start(QStringLiteral("/usr/bin/pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    std::unique_ptr<MailRecorder> mail;
};
