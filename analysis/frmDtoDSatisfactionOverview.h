#pragma once

#include "analysis/CustomerRangeWindow.h"

// "Satisfaction Overview": everything held about one customer's satisfaction in a range of dates (written answers,
// scores, planned actions), through the scratch table `reporttable` and "satisfaction.rpt".
class frmDtoDSatisfactionOverview : public CustomerRangeWindow
{
    Q_OBJECT

public:
    explicit frmDtoDSatisfactionOverview(QWidget* parent = nullptr);

    void cmdPrint_Click() override;
    void toFillReporttable();
};
