#pragma once

#include "analysis/CustomerRangeWindow.h"

// "Status Report on Improvement Plan": one customer's improvement actions planned in a range of dates, printed
// straight from the saved query `action` through "actionplan.rpt".
class frmDtoDActionPlan : public CustomerRangeWindow
{
    Q_OBJECT

public:
    explicit frmDtoDActionPlan(QWidget* parent = nullptr);

    void cmdPrint_Click() override;
    // The record selection: the customer by name and both plan-date bounds, inclusive.
    QString selectionFormula() const;
};
