#pragma once

#include "analysis/frmPerformanceMatrix.h"
#include "analysis_index/AnswerFixture.h"

#include <QListWidget>

// One customer's answers on d1, each parameter answered by one respondent, and the window opened from the menu.
class MatrixFixture : public AnswerFixture
{
protected:
    void SetUp() override
    {
        AnswerFixture::SetUp();
        cust = customer(QStringLiteral("Acme"));
        ann = respondent(cust, QStringLiteral("Ann"));
    }

    void rows(const QString& parameter, const QList<QPair<QVariant, QVariant>>& given)
    {
        answerRows(cust, ann, question(parameter), d1, given);
    }

    static QList<QPair<QVariant, QVariant>> times(int n, const QPair<QVariant, QVariant>& row)
    {
        return QList<QPair<QVariant, QVariant>>(n, row);
    }

    frmPerformanceMatrix* open()
    {
        m_main->mnuPerformanceMatrix->trigger();
        return m_main->windows()->find<frmPerformanceMatrix>();
    }

    // Clicking the date views the matrix.
    frmPerformanceMatrix* view()
    {
        frmPerformanceMatrix* w = open();
        w->lstSurveyDates->item(0)->setSelected(true);
        return w;
    }

    int cust = 0;
    int ann = 0;
};
