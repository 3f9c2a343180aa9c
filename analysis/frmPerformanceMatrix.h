#pragma once

#include "platform/lists/ChoiceList.h"

#include <QList>
#include <QString>
#include <QWidget>

class ChartControl;
class FlexGrid;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

// "Performance Matrix": for one customer and survey date, every parameter's mean score against its mean weightage,
// as an XY chart and a grid coloured by quadrant, printed with the chart. The means are kept in scattertable until
// the next View.
class frmPerformanceMatrix : public QWidget
{
    Q_OBJECT

public:
    explicit frmPerformanceMatrix(QWidget* parent = nullptr);
    ~frmPerformanceMatrix() override;

    QFrame* Frame1 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cmdCustomerName = nullptr;
    QLabel* Label1 = nullptr;
    ChoiceList* lstSurveyDates = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdView = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;
    ChartControl* mschart = nullptr;
    QGroupBox* Frame3 = nullptr;
    FlexGrid* MSHFlexGrid1 = nullptr;

    // One parameter's means as scattertable holds them.
    struct MatrixRow {
        QString parameter;
        double sc = 0;
        double wt = 0;
    };
    // What the point message reads: the points unmoved, in the chart's order, with their parameters.
    const QList<MatrixRow>& hiddenChart() const { return m_hiddenChart; }

    void Form_Load();
    void cmdCustomerName_Click();
    void lstSurveyDates_Click();
    void cmdView_Click();
    void cmdPrint_Click();
    void mschart_PointSelected(int series, int dataPoint);
    void cmdHelp_Click();
    void cmdClose_Click();

    void toFillCustomername();
    void toFillSurveyDateList();
    void toFillTable();
    void toDrawChart();
    void setGrid();
    void toSetRowColor(float score, float weightage, int row);
    void toSetPoint();
    void toDrawOnHiddenChart();

private:
    QList<MatrixRow> readMatrix() const;
    void fitColumns();

    QList<MatrixRow> m_hiddenChart;
    // The grid's rows, in its order, for their colours.
    QList<MatrixRow> m_gridRows;
};
