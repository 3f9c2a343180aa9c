#include "analysis/CustomerRangeWindow.h"

#include "analysis/ReportWindows.h"
#include "platform/desktop/Desktop.h"
#include "shell/HelpTopics.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

CustomerRangeWindow::CustomerRangeWindow(const char* name, const QString& caption, int helpContext, QWidget* parent)
    : QWidget(parent), m_helpContext(helpContext)
{
    setObjectName(QLatin1String(name));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    setFixedSize(456, 222);

    Frame2 = makeControl<QGroupBox>(this, "Frame2", QRect(16, 8, 424, 146));
    Label4 = makeControl<QLabel>(Frame2, "Label4", QRect(16, 24, 110, 26));
    Label4->setText(QStringLiteral("Customer List "));
    cmbCustomer = makeControl<QComboBox>(Frame2, "cmbCustomer", QRect(126, 24, 282, 26));
    Label5 = makeControl<QLabel>(Frame2, "Label5", QRect(16, 64, 110, 26));
    Label5->setText(QStringLiteral("From Date "));
    dtFrom = ReportWindows::makeDatePicker(Frame2, "dtFrom", QRect(126, 64, 160, 26));
    Label6 = makeControl<QLabel>(Frame2, "Label6", QRect(16, 104, 110, 26));
    Label6->setText(QStringLiteral("To Date "));
    dtTo = ReportWindows::makeDatePicker(Frame2, "dtTo", QRect(126, 104, 160, 26));

    int x = 116;
    for (auto [member, control, caption] :
         {std::tuple{&cmdPrint, "cmdPrint", "&Report"}, std::tuple{&cmdHelp, "cmdHelp", "&Help"},
          std::tuple{&cmdClose, "cmdClose", "&Close"}}) {
        *member = makeControl<QPushButton>(this, control, QRect(x, 172, 100, 30));
        (*member)->setText(QLatin1String(caption));
        x += 112;
    }

    connect(cmdPrint, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, &CustomerRangeWindow::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &CustomerRangeWindow::cmdClose_Click);
}

void CustomerRangeWindow::Form_Load()
{
    toCenterForm(this);
    toFillCustomerList();
    if (cmbCustomer->count() > 0)
        cmbCustomer->setCurrentIndex(0);
    dtFrom->setDate(Desktop::today());
    dtTo->setDate(Desktop::today());
}

void CustomerRangeWindow::toFillCustomerList()
{
    ReportWindows::toFillCustomerList(cmbCustomer);
}

void CustomerRangeWindow::cmdHelp_Click()
{
    HelpTopics::showTopic(this, m_helpContext);
}

void CustomerRangeWindow::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}
