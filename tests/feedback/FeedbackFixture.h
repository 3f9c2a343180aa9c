#pragma once

#include "feedback/frmFeedBackObj.h"
#include "masterdata/MasterDataFixture.h"
#include "surveys/SurveyStore.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QListWidget>

// Acme with Ann and Bob, Zenith with Zoe, and Nobody without respondents. Two parameters hold a scored question
// of the same text ("Speed of reply") and a descriptive one each. Ann's survey of d1 lists four questions,
// stored in another order than their positions; Bob's of d2 one; Zoe's of d1 one.
class FeedbackFixture : public MasterDataFixture
{
protected:
    const QDate d1{2031, 3, 14};
    const QDate d2{2031, 6, 1};

    void SetUp() override
    {
        MasterDataFixture::SetUp();
        run(QStringLiteral("insert into customer (custname) values ('Acme'), ('Zenith'), ('Nobody')"));
        run(QStringLiteral("insert into respondent (custid, respondentname) values (1, 'Ann'), (1, 'Bob'), "
                           "(2, 'Zoe')"));
        run(QStringLiteral("insert into parameter (parametername) values ('Service'), ('Quality')"));
        // Ids 1-4: Service/Speed of reply, Service/Comments, Quality/Speed of reply, Quality/Notes.
        run(QStringLiteral("insert into questions (question, Type, paramid) values ('Speed of reply', 1, 1), "
                           "('Comments', 0, 1), ('Speed of reply', 1, 2), ('Notes', 0, 2)"));
        run(QStringLiteral("insert into survey (sdate, custid) values (?, 1), (?, 1), (?, 2)"),
            {iso(d1), iso(d2), iso(d1)});
        run(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") values "
                           "(1, 4, 1, 4), (1, 1, 1, 1), (1, 3, 1, 3), (1, 2, 1, 2), (2, 1, 2, 1), (3, 4, 3, 1)"));
    }

    static QString iso(const QDate& d) { return d.toString(Qt::ISODate); }
    static QString dateText(const QDate& d) { return SurveyStore::dateText(d); }

    static void clickEntry(QListWidget* list, const QString& text)
    {
        const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << text.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.first()).center());
    }
    // Types into a cell reached with the mouse, over what it held.
    static void setCell(frmFeedBackObj* w, int row, int col, const QString& text)
    {
        clickCell(w->grdDtls, row, col);
        w->txtDtls->selectAll();
        press(w->txtDtls, Qt::Key_Backspace);
        type(w->txtDtls, text);
    }
    // One stored answer: weightage and score or description, "NULL" for Null.
    QStringList answer(const QString& table, int respondent, int question, const QDate& date) const
    {
        const QString column =
            table == QLatin1String("feedbackobjective") ? QStringLiteral("score") : QStringLiteral("Description");
        const QVariantList r = rows(QStringLiteral("select ifnull(weightage, 'NULL'), ifnull(%1, 'NULL'), surveyid "
                                                   "from %2 where respondentid=? and questionid=? and surveydate=?")
                                        .arg(column, table),
                                    {respondent, question, iso(date)});
        if (r.size() != 1)
            return {QStringLiteral("%1 rows").arg(r.size())};
        const QVariantList v = r.first().toList();
        return {v[0].toString(), v[1].toString(), v[2].toString()};
    }
};
