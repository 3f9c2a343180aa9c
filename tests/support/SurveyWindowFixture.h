#pragma once

#include "platform/dialogs/MsgBox.h"
#include "support/AppFixture.h"
#include "surveys/SurveyWindows.h"
#include "surveys/frmEditExistingSurvey.h"

#include <QApplication>
#include <QDate>
#include <QString>
#include <QWidget>

// What the survey window tests start from: two customers, Acme and Zenith, two survey dates, the survey windows
// reaching each other without a main window, and every window a test leaves open closed after it.
class SurveyWindowFixture : public AppFixture
{
protected:
    const QDate d1{2031, 3, 14};
    const QDate d2{2031, 6, 1};

    void SetUp() override
    {
        AppFixture::SetUp();
        SurveyWindows::useDefaults();
        MsgBox::clearRecords();
        run(QStringLiteral("insert into customer (custname) values ('Acme'), ('Zenith')"));
    }

    void TearDown() override
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            delete w;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AppFixture::TearDown();
    }

    static QString iso(const QDate& d) { return d.toString(Qt::ISODate); }
    int respondentId(const QString& name) const
    {
        return value(QStringLiteral("select respondentid from respondent where respondentname=?"), {name}).toInt();
    }

    frmEditExistingSurvey* openEditor()
    {
        auto* w = new frmEditExistingSurvey;
        w->Form_Load();
        w->show();
        return w;
    }
};
