#pragma once

#include "platform/desktop/Desktop.h"
#include "platform/report/ReportControl.h"
#include "platform_mail/MailRecorder.h"
#include "shell/Progress.h"
#include "shell/gblGlobal.h"
#include "support/PdfText.h"
#include "support/SurveyWindowFixture.h"
#include "surveys/frmLogDetails.h"

#include <QFile>
#include <QTreeWidget>
#include <memory>

// Two customers with respondents and addresses, a small catalogue of questions, and the desktop's mail tools
// replaced by a recorder (on a PATH of their own) before each test.
class DistributionFixture : public SurveyWindowFixture
{
protected:
    void SetUp() override
    {
        SurveyWindowFixture::SetUp();
        ReportControl::clearRuns();
        Desktop::setTestMode(true);
        gCompanyName = QStringLiteral("Harbour Quality Ltd");
        mail = std::make_unique<MailRecorder>();
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
        SurveyWindowFixture::TearDown();
        mail.reset();
    }

    int customerId(const QString& name) const
    {
        return value(QStringLiteral("select custid from customer where custname=?"), {name}).toInt();
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

    frmLogDetails* openLog()
    {
        auto* w = new frmLogDetails;
        w->Form_Load();
        w->show();
        return w;
    }
    static void select(frmLogDetails* w, const QList<int>& rows)
    {
        w->lsvDtls->clearSelection();
        for (int r : rows)
            w->lsvDtls->topLevelItem(r)->setSelected(true);
    }

    std::unique_ptr<MailRecorder> mail;
};
