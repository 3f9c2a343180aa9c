#include "analysis/frmSatisfactionIndex.h"

#include "analysis/AnalysisArithmetic.h"
#include "analysis/ChartWindows.h"
#include "analysis/ReportWindows.h"
#include "masterdata/Twips.h"
#include "platform/chart/ChartControl.h"
#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/report/ValueFormat.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"
#include "surveys/SurveyLists.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>
#include <stdexcept>

namespace
{

// Frame1's height in twips: the window's collapsed and expanded heights follow from it.
constexpr int kFrameTwips = 3000;
constexpr int kWidth = 761;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* label = makeControl<QLabel>(parent, name, geometry);
    label->setText(text);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int top)
{
    auto* button = makeControl<QPushButton>(parent, name, QRect(646, top, 100, 30));
    button->setText(caption);
    return button;
}

QDateEdit* makeDate(QWidget* parent, const char* name, int top)
{
    return ReportWindows::makeDatePicker(parent, name, QRect(12, top, 150, 26));
}

} // namespace

frmSatisfactionIndex::frmSatisfactionIndex(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Satisfaction Index"));
    // Fixed in size, collapsed until a result is shown.
    setFixedSize(kWidth, ChartWindows::contentHeight(kFrameTwips + 350));

    Frame1 = makeControl<QFrame>(this, "Frame1", QRect(0, 0, kWidth, kFrameTwips / 15));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Label3 = makeLabel(Frame1, "Label3", QStringLiteral("Select Customer"), QRect(12, 10, 220, 18));
    cmdCustomerName = makeControl<QComboBox>(Frame1, "cmdCustomerName", QRect(12, 30, 220, 26));
    Label4 = makeLabel(Frame1, "Label4", QStringLiteral("From Date "), QRect(12, 66, 220, 18));
    dtFrom = makeDate(Frame1, "dtFrom", 86);
    Label5 = makeLabel(Frame1, "Label5", QStringLiteral("To Date "), QRect(12, 120, 220, 18));
    dtTo = makeDate(Frame1, "dtTo", 140);
    Label1 = makeLabel(Frame1, "Label1", QStringLiteral("Select Parameter(s)"), QRect(248, 10, 250, 18));
    lstParameter = makeControl<QListWidget>(Frame1, "lstParameter", QRect(248, 30, 250, 136));
    lstParameter->setSelectionMode(QAbstractItemView::MultiSelection);
    Label6 = makeLabel(Frame1, "Label6", QStringLiteral("Double Click or Press 'Enter' to Refresh "),
                       QRect(248, 170, 262, 18));
    Label2 = makeLabel(Frame1, "Label2", QStringLiteral("List of Survey Dates "), QRect(514, 10, 126, 18));
    lstSurveyDates = makeControl<QListWidget>(Frame1, "lstSurveyDates", QRect(514, 30, 122, 136));
    cmdView = makeButton(Frame1, "cmdView", QStringLiteral("&View"), 30);
    cmdPrint = makeButton(Frame1, "cmdPrint", QStringLiteral("&Report"), 66);
    cmdHelp = makeButton(Frame1, "cmdHelp", QStringLiteral("&Help"), 102);
    cmdClose = makeButton(Frame1, "cmdClose", QStringLiteral("&Close"), 138);
    for (QLabel* l : {Label3, Label4, Label5, Label1, Label6, Label2})
        widenToText(l);

    msChart = makeControl<ChartControl>(this, "msChart", QRect(4, kFrameTwips / 15 + 4, kWidth - 8, 0));
    msChart->setAxisTitle(ChartControl::Axis::X, QStringLiteral("Survey Date "));
    msChart->setAxisTitle(ChartControl::Axis::Y, QStringLiteral("Satisfaction Index"));
    msChart->setAxisRange(ChartControl::Axis::Y, 0, 10);

    connect(cmdCustomerName, &QComboBox::currentIndexChanged, this, &frmSatisfactionIndex::cmdCustomerName_Click);
    connect(lstParameter, &QListWidget::itemSelectionChanged, this, &frmSatisfactionIndex::lstParameter_Click);
    connect(lstParameter, &QListWidget::itemDoubleClicked, this, &frmSatisfactionIndex::lstParameter_DblClick);
    lstParameter->installEventFilter(this);
    lstSurveyDates->installEventFilter(this);
    connect(dtFrom, &QDateEdit::dateChanged, this, &frmSatisfactionIndex::dtFrom_Change);
    connect(dtTo, &QDateEdit::dateChanged, this, &frmSatisfactionIndex::dtTo_Change);
    connect(cmdView, &QPushButton::clicked, this, &frmSatisfactionIndex::cmdView_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmSatisfactionIndex::cmdPrint_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmSatisfactionIndex::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSatisfactionIndex::cmdClose_Click);
    connect(msChart, &ChartControl::pointSelected, this, &frmSatisfactionIndex::msChart_PointSelected);
}

frmSatisfactionIndex::~frmSatisfactionIndex() = default;

void frmSatisfactionIndex::Form_Load()
{
    if (parentWidget())
        parentWidget()->move(0, 0);
    collapse();
    dtFrom->setDate(Desktop::today());
    dtTo->setDate(Desktop::today());
    toFillCustomername();
    if (cmdCustomerName->count() > 0)
        cmdCustomerName->setCurrentIndex(0);
    if (lstSurveyDates->count() > 0)
        dtFrom->setDate(lstSurveyDates->item(0)->data(Qt::UserRole).toDate());
    if (lstParameter->count() > 0)
        lstParameter->item(0)->setSelected(true);
}

QString frmSatisfactionIndex::customerName() const
{
    return SurveyLists::chosenText(cmdCustomerName);
}

QStringList frmSatisfactionIndex::selectedParameters() const
{
    QStringList names;
    for (int i = 0; i < lstParameter->count(); ++i)
        if (lstParameter->item(i)->isSelected())
            names << lstParameter->item(i)->text();
    return names;
}

void frmSatisfactionIndex::collapse()
{
    ChartWindows::setFormHeight(this, kFrameTwips + 350);
    cmdPrint->setEnabled(false);
    m_expanded = false;
}

void frmSatisfactionIndex::expand()
{
    ChartWindows::setFormHeight(this, 2 * kFrameTwips + 2000);
    msChart->resize(msChart->width(), height() - msChart->y() - 4);
    cmdPrint->setEnabled(true);
    m_expanded = true;
}

// Lists ------------------------------------------------------------------------------------------------------------

void frmSatisfactionIndex::toFillCustomername()
{
    Progress::setBusy(true);
    ChartWindows::fillCustomers(cmdCustomerName);
    Progress::setBusy(false);
}

// The date list follows the chosen customer, so that it always shows that customer's dates.
void frmSatisfactionIndex::cmdCustomerName_Click()
{
    if (cmdCustomerName->count() == 0)
        return;
    toFillParameterName();
    toFillSurveyDateList();
}

void frmSatisfactionIndex::toFillParameterName()
{
    const QSignalBlocker blocker(lstParameter);
    lstParameter->clear();
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(QStringLiteral("select distinct parametername from responquery where custname=? "
                                              "order by parametername"),
                               {customerName()});
        while (q.next())
            lstParameter->addItem(q.value(0).toString());
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
    }
}

void frmSatisfactionIndex::toFillSurveyDateList()
{
    ChartWindows::fillSurveyDates(lstSurveyDates, customerName());
}

void frmSatisfactionIndex::lstParameter_Click()
{
    collapse();
}

void frmSatisfactionIndex::lstParameter_DblClick()
{
    if (lstParameter->count() > 0)
        cmdView_Click();
}

void frmSatisfactionIndex::lstParameter_KeyDown(int keyCode)
{
    if (keyCode == 13 && lstParameter->count() > 0)
        cmdView_Click();
}

void frmSatisfactionIndex::dtFrom_Change()
{
    collapse();
}

void frmSatisfactionIndex::dtTo_Change()
{
    collapse();
}

void frmSatisfactionIndex::lstSurveyDates_Validate()
{
    lstSurveyDates->clearSelection();
}

bool frmSatisfactionIndex::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstParameter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            lstParameter_KeyDown(13);
            return true;
        }
    }
    if (watched == lstSurveyDates && event->type() == QEvent::FocusOut)
        lstSurveyDates_Validate();
    return QWidget::eventFilter(watched, event);
}

// View -------------------------------------------------------------------------------------------------------------

void frmSatisfactionIndex::cmdView_Click()
{
    Progress::setBusy(true);
    toFillTable();
    if (!toCheckIndexRecords()) {
        MsgBox::show(QStringLiteral("No record(s) present to evaluates Satisfaction Index"), MsgBox::Information,
                     QLatin1String(ChartWindows::kTitle));
        collapse();
    } else {
        Progress::setText(QStringLiteral("Saving to view Satisfaction Index..."));
        toFillSurveyDateOrder();
        toSetChartRows();
        toDrawChart();
        expand();
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

// One index per selected parameter and survey date in the range, each date's answers taken in the order they were
// stored: the stepwise rounding makes the index depend on that order.
void frmSatisfactionIndex::toFillTable()
{
    try {
        toTestConnection();
        Db::exec(QStringLiteral("delete from linetable"));
        const QString customer = customerName();
        for (const QString& parameter : selectedParameters()) {
            QSqlQuery q = Db::exec(QStringLiteral("select surveydate, weightage, score from objquery "
                                                  "where custname=? and parametername=? and surveydate between ? "
                                                  "and ? order by surveydate, feedbackobjid"),
                                   {customer, parameter, dtFrom->date(), dtTo->date()});
            ChartWindows::forEachGroup(
                q, [](const QVariant& date) { return date.toString(); },
                [&](const QVariant& date, const QList<StoredAnswer>& answers) {
                    const float index = AnalysisArithmetic::satisfactionIndex(answers);
                    Db::exec(QStringLiteral("insert into linetable (custname, Parameter, sindex, sdate) "
                                            "values (?, ?, ?, ?)"),
                             {customer, parameter, double(index), ValueFormat::toDate(date)});
                });
        }
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
    } catch (const std::overflow_error&) {
        // Not the connection's error: the groups done so far stay, as after any failure here.
    }
    Progress::setBusy(false);
}

bool frmSatisfactionIndex::toCheckIndexRecords()
{
    try {
        toTestConnection();
        return Db::exists(QStringLiteral("select 1 from linetable where sindex <> 0"));
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
        return false;
    }
}

void frmSatisfactionIndex::toFillSurveyDateOrder()
{
    Progress::setBusy(true);
    try {
        toTestConnection();
        Db::exec(QStringLiteral("delete from surveydateorder"));
        QSqlQuery q =
            Db::exec(QStringLiteral("select distinct sdate from linetable where sindex <> 0 order by sdate asc"));
        QList<QDate> dates;
        while (q.next())
            dates << ValueFormat::toDate(q.value(0));
        for (int r = 0; r < dates.size(); ++r)
            Db::exec(QStringLiteral("insert into surveydateorder (sdate, roworder) values (?, ?)"), {dates[r], r + 1});
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
    }
    Progress::setBusy(false);
}

// Chart ------------------------------------------------------------------------------------------------------------

void frmSatisfactionIndex::toSetChartRows()
{
    Progress::setBusy(true);
    m_chartDates.clear();
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(QStringLiteral("select sdate from surveydateorder order by roworder asc"));
        while (q.next())
            m_chartDates << ValueFormat::toDate(q.value(0));
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
    Progress::setBusy(false);
}

// One column per selected parameter, in list order, whether or not it has an index: its colour stays its own.
void frmSatisfactionIndex::toDrawChart()
{
    Progress::setBusy(true);
    const QStringList parameters = selectedParameters();
    msChart->setChartType(ChartControl::ChartType::Line);
    msChart->setGrid(int(m_chartDates.size()), int(parameters.size()));
    QHash<QDate, int> rowOf;
    for (int r = 0; r < m_chartDates.size(); ++r) {
        rowOf.insert(m_chartDates[r], r);
        msChart->setRowLabel(r, ValueFormat::formatDate(m_chartDates[r]));
    }
    double highest = 10;
    try {
        toTestConnection();
        for (int c = 0; c < parameters.size(); ++c) {
            msChart->setColumnLabel(c, parameters[c]);
            QSqlQuery q = Db::exec(QStringLiteral("select sdate, sindex from linetable where parameter=? "
                                                  "and sindex <> 0 order by sdate asc"),
                                   {parameters[c]});
            while (q.next()) {
                const int row = rowOf.value(ValueFormat::toDate(q.value(0)), -1);
                const double index = q.value(1).toDouble();
                msChart->setData(row, c, index);
                highest = std::max(highest, index);
            }
        }
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        ChartWindows::showFirstError(e);
    }
    for (int s = 0; s < msChart->seriesCount(); ++s) {
        msChart->setShowLine(s, true);
        msChart->setPenWidth(s, 20);
        msChart->setMarker(s, true, 140, ChartControl::MarkerStyle::Ball);
    }
    // The stepwise rounding lets an index pass 10; the axis then reaches it.
    msChart->setAxisRange(ChartControl::Axis::Y, 0, std::ceil(highest));
    msChart->refresh();
    Progress::setBusy(false);
}

void frmSatisfactionIndex::msChart_PointSelected(int series, int dataPoint)
{
    const ChartControl::Cell value = msChart->data(dataPoint, series);
    if (!value)
        return;
    // General format in the system's number format, as every other figure the window shows.
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    MsgBox::show(QStringLiteral("Satisfaction Index : ") + locale.toString(*value, 'g', 15));
}

// Report, help, close ----------------------------------------------------------------------------------------------

void frmSatisfactionIndex::cmdPrint_Click()
{
    Progress::setBusy(true);
    if (lstParameter->count() > 0) {
        Progress::setText(QStringLiteral("Generating Report....."));
        if (cmdCustomerName->count() > 0)
            ChartWindows::printChart(msChart, QStringLiteral("satis.bmp"), QStringLiteral("satisfactionindex.rpt"),
                                     QStringLiteral("Survey Report"));
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

void frmSatisfactionIndex::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmSatisfactionIndex);
}

void frmSatisfactionIndex::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}
