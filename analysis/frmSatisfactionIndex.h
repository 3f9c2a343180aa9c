#pragma once

#include <QDate>
#include <QList>
#include <QWidget>

class ChartControl;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

// "Satisfaction Index": a customer's satisfaction index per chosen parameter and survey date over a range of dates,
// drawn as one line per parameter and printed with the chart. The indices are kept in linetable, the charted dates
// in surveydateorder, until the next View.
class frmSatisfactionIndex : public QWidget
{
    Q_OBJECT

public:
    explicit frmSatisfactionIndex(QWidget* parent = nullptr);
    ~frmSatisfactionIndex() override;

    QFrame* Frame1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cmdCustomerName = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* lstParameter = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* lstSurveyDates = nullptr;
    QLabel* Label4 = nullptr;
    QDateEdit* dtFrom = nullptr;
    QLabel* Label5 = nullptr;
    QDateEdit* dtTo = nullptr;
    QPushButton* cmdView = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdClose = nullptr;
    ChartControl* msChart = nullptr;

    void Form_Load();
    void cmdCustomerName_Click();
    void lstParameter_Click();
    void lstParameter_DblClick();
    void lstParameter_KeyDown(int keyCode);
    void dtFrom_Change();
    void dtTo_Change();
    void lstSurveyDates_Validate();
    void cmdView_Click();
    void cmdPrint_Click();
    void msChart_PointSelected(int series, int dataPoint);
    void cmdHelp_Click();
    void cmdClose_Click();

    void toFillCustomername();
    void toFillParameterName();
    void toFillSurveyDateList();
    void toSetChartRows();
    void toDrawChart();

    // The computation behind View.
    void toFillTable();
    bool toCheckIndexRecords();
    void toFillSurveyDateOrder();

    bool isExpanded() const { return m_expanded; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void collapse();
    void expand();
    QString customerName() const;
    QStringList selectedParameters() const;

    // The charted dates, by row.
    QList<QDate> m_chartDates;
    bool m_expanded = false;
};
