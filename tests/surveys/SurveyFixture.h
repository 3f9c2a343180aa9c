#pragma once

#include "platform/desktop/Desktop.h"
#include "platform/grid/FlexGrid.h"
#include "shell/Progress.h"
#include "shell/gblGlobal.h"
#include "support/SurveyWindowFixture.h"
#include "surveys/ParameterTree.h"
#include "surveys/SurveyStore.h"

#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTreeWidgetItem>

// A catalogue of three parameters with four questions each, two customers (Acme with Ann and Bob, Zenith with
// nobody) and helpers that read a survey's stored rows straight from the database file.
class SurveyFixture : public SurveyWindowFixture
{
protected:
    void SetUp() override
    {
        SurveyWindowFixture::SetUp();
        gPastePending = false;
        gPasteForNewSurvey = false;
        gDroppedOnGrid = false;
        run(QStringLiteral("insert into respondent (custid, respondentname) values (1, 'Ann'), (1, 'Bob')"));
        const QStringList params = {QStringLiteral("Service"), QStringLiteral("Quality"), QStringLiteral("Delivery")};
        const QList<QStringList> questions = {{QStringLiteral("Speed of reply"), QStringLiteral("Courtesy"),
                                               QStringLiteral("Comments"), QStringLiteral("Follow up")},
                                              {QStringLiteral("Finish"), QStringLiteral("Durability"),
                                               QStringLiteral("Speed of reply"), QStringLiteral("Defects")},
                                              {QStringLiteral("On time"), QStringLiteral("Packaging"),
                                               QStringLiteral("Paperwork"), QStringLiteral("Notes")}};
        for (int p = 0; p < params.size(); ++p) {
            run(QStringLiteral("insert into parameter (parametername) values (?)"), {params[p]});
            for (const QString& q : questions[p])
                run(QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"),
                    {q, q == QLatin1String("Comments") || q == QLatin1String("Notes") ? 0 : 1, p + 1});
        }
    }

    int questionId(const QString& parameter, const QString& question) const
    {
        return value(QStringLiteral("select questionid from param where parametername=? and question=?"),
                     {parameter, question})
            .toInt();
    }
    int surveyId(const QDate& date, int custid = 1) const
    {
        return value(QStringLiteral("select surveyid from survey where sdate=? and custid=?"), {iso(date), custid})
            .toInt();
    }

    // Stores a survey directly: "Parameter/Question" entries in order.
    void storeSurvey(const QString& respondent, const QDate& date, const QStringList& entries, int custid = 1)
    {
        if (surveyId(date, custid) == 0)
            run(QStringLiteral("insert into survey (sdate, custid) values (?, ?)"), {iso(date), custid});
        int order = 0;
        for (const QString& e : entries) {
            const QStringList pq = e.split(QLatin1Char('/'));
            run(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") values "
                               "(?, ?, ?, ?)"),
                {respondentId(respondent), questionId(pq[0], pq[1]), surveyId(date, custid), ++order});
        }
    }

    // The stored survey as "Parameter/Question" in its order, and its positions.
    QStringList stored(const QString& respondent, const QDate& date) const
    {
        return stored(respondentId(respondent), date);
    }
    QStringList stored(int respid, const QDate& date) const
    {
        QStringList list;
        for (const QVariant& r : rows(QStringLiteral("select parametername, question from responquery where "
                                                     "respondentid=? and sdate=? order by \"Order\""),
                                      {respid, iso(date)}))
            list << r.toList()[0].toString() + QLatin1Char('/') + r.toList()[1].toString();
        return list;
    }
    QList<int> positions(const QString& respondent, const QDate& date) const
    {
        QList<int> list;
        for (const QVariant& r : rows(QStringLiteral("select responquesindex.\"Order\" from responquesindex "
                                                     "inner join survey on survey.surveyid = responquesindex.surveyid "
                                                     "where respondentid=? and sdate=? order by 1"),
                                      {respondentId(respondent), iso(date)}))
            list << r.toList()[0].toInt();
        return list;
    }
    static QList<int> oneTo(int n)
    {
        QList<int> list;
        for (int i = 1; i <= n; ++i)
            list << i;
        return list;
    }

    static QStringList gridEntries(FlexGrid* g)
    {
        QStringList list;
        for (int i = 1; i < g->rows() - 1; ++i)
            list << g->textMatrix(i, 1) + QLatin1Char('/') + g->textMatrix(i, 2);
        return list;
    }

    static void selectInTree(ParameterTree* tree, const QString& parameter, const QString& question = QString())
    {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* p = tree->topLevelItem(i);
            if (p->text(0) != parameter)
                continue;
            if (question.isEmpty()) {
                tree->setCurrentItem(p);
                return;
            }
            for (int j = 0; j < p->childCount(); ++j)
                if (p->child(j)->text(0) == question) {
                    tree->setCurrentItem(p->child(j));
                    return;
                }
        }
        ADD_FAILURE() << "not in the tree: " << parameter.toStdString() << "/" << question.toStdString();
    }

    // A drag from the tree that ends on the grid (or elsewhere): the drop event, then the end of the drag.
    static void dragFromTree(ParameterTree* tree, FlexGrid* grid, bool onGrid)
    {
        if (onGrid) {
            QMimeData data;
            data.setText(QStringLiteral("question"));
            const QPoint at(20, 40);
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(grid->viewport(), &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(grid->viewport(), &drop);
        }
        emit tree->oleCompleteDrag();
    }

    static QList<MsgBox::Shown> boxes() { return MsgBox::shown(); }

    // The user's click on a list's entry, or with row -1 on the empty part below its entries, keys held.
    static void clickEntry(QListWidget* list, int row, Qt::KeyboardModifiers keys = {})
    {
        const QPoint at =
            row >= 0 ? list->visualItemRect(list->item(row)).center() : QPoint(10, list->viewport()->height() - 4);
        ASSERT_TRUE(row >= 0 || list->itemAt(at) == nullptr);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, at);
    }

    // The error shown for a survey of Acme renamed or deleted while a window showed it.
    static QString notFoundBox(const QString& action, const QString& respondent, const QDate& date,
                               const QString& outcome)
    {
        return QStringLiteral("Error : 0\r\nThe survey %1 (Acme, %2, %3) was not found: its customer, respondent or "
                              "date was renamed or deleted meanwhile. %4")
            .arg(action, respondent, SurveyStore::dateText(date), outcome);
    }
};
