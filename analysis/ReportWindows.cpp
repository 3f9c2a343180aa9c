#include "analysis/ReportWindows.h"

#include "platform/report/ReportControl.h"
#include "platform/report/ValueFormat.h"
#include "shell/MDIMain.h"
#include "shell/ProgramReport.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"
#include "surveys/SurveyLists.h"

#include <QComboBox>
#include <QDateEdit>

namespace ReportWindows
{

void toFillCustomerList(QComboBox* list)
{
    QStringList names;
    try {
        toTestConnection();
        names = SurveyStore::customers();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
    SurveyLists::refill(list, names);
}

void generating(const QComboBox* customers, const std::function<void()>& steps)
{
    Progress::setBusy(true);
    if (customers->count() > 0) {
        Progress::setText(QStringLiteral("Generating Report....."));
        steps();
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

QDateEdit* makeDatePicker(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* picker = makeControl<QDateEdit>(parent, name, geometry);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(ValueFormat::shortDateFormat());
    return picker;
}

QString formulaText(const QString& text)
{
    const QChar quote = text.contains(QLatin1Char('\'')) ? QLatin1Char('"') : QLatin1Char('\'');
    return quote + text + quote;
}

bool printReport(const QString& reportFileName, const QString& windowTitle, const QString& selectionFormula)
{
    MDIMain* main = mdiMain();
    return main && runProgramReport(main->crpReport, reportFileName, windowTitle, selectionFormula);
}

} // namespace ReportWindows
