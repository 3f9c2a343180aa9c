#include "analysis/frmPerformanceMatrix.h"

#include "analysis/AnalysisArithmetic.h"
#include "analysis/ChartWindows.h"
#include "platform/chart/ChartControl.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "platform/lists/ChoiceList.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"
#include "surveys/SurveyLists.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

#include <cmath>
#include <stdexcept>

namespace
{

constexpr int kFrameTwips = 1815;
constexpr int kWidth = 761;
constexpr int kShownTwips = 7215;

// Where the k-th point that coincides with the one before it goes, from its whole-number position.
const QPointF kOffsets[] = {{0, 0},   {0.1, -0.1}, {-0.1, -0.1}, {-0.1, 0.1}, {0.1, 0.1},
                            {0.1, 0}, {0, -0.1},   {-0.1, 0},    {0, 0.1}};

// Entries 1 to 8 in turn; a ninth coincident point starts again at entry 1.
QPointF offset(int k)
{
    return kOffsets[(k - 1) % 8 + 1];
}

const QColor kGreen(0, 255, 0);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);
const QColor kGrey(192, 192, 192);

// The quadrant's colour, the first rule that holds; invalid when none does.
QColor quadrantColour(float score, float weightage)
{
    if (score >= 5 && weightage >= 5)
        return kGreen;
    if (weightage < 5 && score <= 10)
        return kYellow;
    if (weightage >= 5 && score < 5)
        return kRed;
    return QColor();
}

// "#0.00": two decimals, no thousands separator.
QString fixed2(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', 2);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* button = makeControl<QPushButton>(parent, name, QRect(left, 28, 68, 30));
    button->setText(caption);
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* label = makeControl<QLabel>(parent, name, geometry);
    label->setText(text);
    return label;
}

} // namespace

frmPerformanceMatrix::frmPerformanceMatrix(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Performance Matrix"));
    setFixedSize(kWidth, ChartWindows::contentHeight(kFrameTwips + 200));

    Frame1 = makeControl<QFrame>(this, "Frame1", QRect(0, 0, kWidth, kFrameTwips / 15));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Label2 = makeLabel(Frame1, "Label2", QStringLiteral("Select Customer"), QRect(12, 8, 240, 18));
    cmdCustomerName = makeControl<QComboBox>(Frame1, "cmdCustomerName", QRect(12, 28, 240, 26));
    Label1 = makeLabel(Frame1, "Label1", QStringLiteral("Select Survey Date"), QRect(268, 8, 180, 18));
    lstSurveyDates = makeControl<ChoiceList>(Frame1, "lstSurveyDates", QRect(268, 28, 180, 62));
    Label3 = makeLabel(Frame1, "Label3", QStringLiteral("Click to Refresh "), QRect(268, 91, 180, 17));
    cmdView = makeButton(Frame1, "cmdView", QStringLiteral("&View"), 462);
    cmdPrint = makeButton(Frame1, "cmdPrint", QStringLiteral("&Report"), 536);
    cmdHelp = makeButton(Frame1, "cmdHelp", QStringLiteral("&Help"), 610);
    cmdClose = makeButton(Frame1, "cmdClose", QStringLiteral("&Close"), 684);

    // Positions in twips as the layout gives them: chart left, details right, under the top band.
    mschart = makeControl<ChartControl>(this, "mschart", QRect(60 / 15, 1860 / 15, 6375 / 15, 4935 / 15));
    Frame3 = makeControl<QGroupBox>(this, "Frame3", QRect(6480 / 15, 1860 / 15, 4935 / 15, 4995 / 15));
    Frame3->setTitle(QStringLiteral("Performance matrix Details "));
    MSHFlexGrid1 = makeControl<FlexGrid>(Frame3, "MSHFlexGrid1", QRect(120 / 15, 300 / 15, 4740 / 15, 4605 / 15));
    MSHFlexGrid1->setCols(4);
    MSHFlexGrid1->setFixedCols(0);
    MSHFlexGrid1->setRows(1);
    MSHFlexGrid1->setFixedRows(1);

    connect(cmdCustomerName, &QComboBox::currentIndexChanged, this, &frmPerformanceMatrix::cmdCustomerName_Click);
    connect(lstSurveyDates, &QListWidget::itemSelectionChanged, this, &frmPerformanceMatrix::lstSurveyDates_Click);
    connect(cmdView, &QPushButton::clicked, this, &frmPerformanceMatrix::cmdView_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmPerformanceMatrix::cmdPrint_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmPerformanceMatrix::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmPerformanceMatrix::cmdClose_Click);
    connect(mschart, &ChartControl::pointSelected, this, &frmPerformanceMatrix::mschart_PointSelected);
}

frmPerformanceMatrix::~frmPerformanceMatrix() = default;

void frmPerformanceMatrix::Form_Load()
{
    if (parentWidget())
        parentWidget()->move(0, 0);
    toFillCustomername();
    if (cmdCustomerName->count() > 0)
        cmdCustomerName->setCurrentIndex(0);
}

void frmPerformanceMatrix::toFillCustomername()
{
    Progress::setBusy(true);
    ChartWindows::fillCustomers(cmdCustomerName);
    Progress::setBusy(false);
}

void frmPerformanceMatrix::cmdCustomerName_Click()
{
    cmdPrint->setEnabled(false);
    if (cmdCustomerName->count() == 0)
        return;
    toFillSurveyDateList();
    // The designed height, then at once the top band alone.
    const int designed = 7140;
    ChartWindows::setFormHeight(this, int(std::nearbyint((designed - kFrameTwips) / 2.6)));
}

void frmPerformanceMatrix::toFillSurveyDateList()
{
    ChartWindows::fillSurveyDates(lstSurveyDates, SurveyLists::chosenText(cmdCustomerName));
}

void frmPerformanceMatrix::lstSurveyDates_Click()
{
    Progress::setBusy(true);
    if (lstSurveyDates->count() > 0) {
        Progress::setText(QStringLiteral("Saving to View Performance Matrix...."));
        cmdView_Click();
        MSHFlexGrid1->viewport()->update();
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

void frmPerformanceMatrix::cmdView_Click()
{
    Progress::setBusy(true);
    if (lstSurveyDates->count() > 0) {
        Progress::setText(QStringLiteral("Saving to View Performance Matrix...."));
        toFillTable();
        toDrawChart();
        toDrawOnHiddenChart();
        Progress::setText(QString());
    }
    Progress::setBusy(false);
}

// Each parameter's means over all its answers of the date. The answers are read once, each parameter's in the order
// they were stored, so the same answers always give the same rows in the same order.
void frmPerformanceMatrix::toFillTable()
{
    try {
        toTestConnection();
        Db::exec(QStringLiteral("delete from scattertable"));
        const QDate date = SurveyLists::selectedDate(lstSurveyDates);
        if (!date.isValid())
            return;
        const QString customer = SurveyLists::chosenText(cmdCustomerName);
        QSqlQuery q = Db::exec(QStringLiteral("select parametername, weightage, score from objquery "
                                              "where custname=? and surveydate=? "
                                              "order by parametername, feedbackobjid"),
                               {customer, date});
        ChartWindows::forEachGroup(
            q, [](const QVariant& name) { return ChartWindows::nameKey(name.toString()); },
            [&](const QVariant& parameter, const QList<StoredAnswer>& answers) {
                if (const auto means = AnalysisArithmetic::parameterMeans(answers))
                    Db::exec(QStringLiteral("insert into scattertable (custname, Parameter, wt, sc) "
                                            "values (?, ?, ?, ?)"),
                             {customer, parameter.toString(), means->wt, means->sc});
            });
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
    } catch (const std::overflow_error&) {
        // Not the connection's error: the parameters done so far stay, as after any failure here.
    }
}

// Points of equal score keep the order in which their rows were written.
QList<frmPerformanceMatrix::MatrixRow> frmPerformanceMatrix::readMatrix() const
{
    toTestConnection();
    QSqlQuery q = Db::exec(QStringLiteral("select Parameter, sc, wt from scattertable order by sc, rowid"));
    QList<MatrixRow> rows;
    while (q.next())
        rows << MatrixRow{q.value(0).toString(), q.value(1).toDouble(), q.value(2).toDouble()};
    return rows;
}

void frmPerformanceMatrix::toDrawChart()
{
    QList<MatrixRow> rows;
    try {
        rows = readMatrix();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return;
    }
    if (rows.isEmpty()) {
        MsgBox::show(QStringLiteral("No record(s) present to view Performance Matrix"), MsgBox::Information,
                     QLatin1String(ChartWindows::kTitle));
        ChartWindows::setFormHeight(this, kFrameTwips + 200);
        cmdPrint->setEnabled(false);
        return;
    }
    ChartWindows::setFormHeight(this, kShownTwips);
    cmdPrint->setEnabled(true);
    // The cells are picked one by one to be filled and coloured; the grid must not scroll after each of them, and
    // it shows its first rows once they are done.
    const bool scrolls = MSHFlexGrid1->hasAutoScroll();
    MSHFlexGrid1->setAutoScroll(false);
    setGrid();

    mschart->setChartType(ChartControl::ChartType::XY);
    mschart->setGrid(int(rows.size()), 2);
    int k = 1;
    for (int r = 0; r < rows.size(); ++r) {
        QPointF p(rows[r].sc, rows[r].wt);
        // A point on top of the one before it moves away from its whole-number position.
        if (r > 0 && rows[r].sc == rows[r - 1].sc && rows[r].wt == rows[r - 1].wt) {
            p = QPointF(double(AnalysisArithmetic::roundHalfEven(rows[r].sc)),
                        double(AnalysisArithmetic::roundHalfEven(rows[r].wt))) +
                offset(k);
            ++k;
        }
        mschart->setRowLabel(r, QStringLiteral(" "));
        mschart->setData(r, 0, p.x());
        mschart->setData(r, 1, p.y());
    }
    for (int r = 1; r < MSHFlexGrid1->rows(); ++r) {
        const MatrixRow& own = m_gridRows[r - 1];
        toSetRowColor(float(own.sc), float(own.wt), r);
    }
    // No cell is picked out over its colour.
    MSHFlexGrid1->clearSelection();
    MSHFlexGrid1->setAutoScroll(scrolls);
    MSHFlexGrid1->scrollToTop();
    toSetPoint();
}

void frmPerformanceMatrix::setGrid()
{
    FlexGrid* g = MSHFlexGrid1;
    QList<QVariantList> values;
    m_gridRows.clear();
    // The headings are the statement's own names for its fields.
    const QStringList headings{QStringLiteral("CustName"), QStringLiteral("Parameter"), QStringLiteral("Wt"),
                               QStringLiteral("Sc")};
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(QStringLiteral("select CustName,Parameter,Wt,Sc from ScatterTable Order by PARAMETER"));
        while (q.next()) {
            values << QVariantList{q.value(0), q.value(1), q.value(2), q.value(3)};
            m_gridRows << MatrixRow{q.value(1).toString(), q.value(3).toDouble(), q.value(2).toDouble()};
        }
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
    g->setUpdatesEnabled(false);
    g->setRows(1);
    g->setRows(int(values.size()) + 1);
    const double width = double(g->width()) * FlexGrid::TwipsPerPixel;
    const double shares[] = {0.2, 0.5, 0.12, 0.12};
    for (int c = 0; c < 4; ++c) {
        g->setColWidth(c, int(std::nearbyint(width * shares[c])));
        g->setTextMatrix(0, c, headings[c]);
        g->setRow(0);
        g->setCol(c);
        g->setCellFontBold(true);
    }
    for (int r = 1; r < g->rows(); ++r) {
        for (int c = 0; c < 4; ++c) {
            const QVariant v = values[r - 1][c];
            g->setRow(r);
            g->setCol(c);
            g->setTextMatrix(r, c, c >= 2 && !v.isNull() ? fixed2(v.toDouble()) : v.toString());
            if (c % 2 == 0)
                g->setCellBackColor(kGrey);
        }
    }
    for (int r = 0; r < g->rows(); ++r) {
        for (int c : {2, 3}) {
            g->setRow(r);
            g->setCol(c);
            g->setCellAlignment(FlexGrid::AlignCenterCenter);
        }
    }
    g->setTextMatrix(0, 0, QStringLiteral("Customer"));
    fitColumns();
    g->setUpdatesEnabled(true);
}

// Every heading and every mean shows whole, the highest mean "10.00" included, and the customer names as far as
// their column's share allows. The parameter column gives up what the others need, so that the four columns fit
// beside the vertical scroll bar and no horizontal one appears.
void frmPerformanceMatrix::fitColumns()
{
    FlexGrid* g = MSHFlexGrid1;
    QFont bold = g->font();
    bold.setBold(true);
    const QFontMetricsF headings(bold);
    const QFontMetricsF cells(g->font());
    // Beside its text a cell draws the view's margin on either side and its grid line; a text is cut when its
    // unrounded width does not fit.
    const int cellPadding = 2 * (g->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, g) + 1) + 1;
    const auto fit = [&](const QFontMetricsF& metrics, const QString& text) {
        return int(std::ceil(metrics.horizontalAdvance(text))) + cellPadding;
    };
    const auto needed = [&](int c) {
        int width = fit(headings, g->textMatrix(0, c));
        if (c >= 2) {
            width = qMax(width, fit(cells, fixed2(10)));
            for (int r = 1; r < g->rows(); ++r)
                width = qMax(width, fit(cells, g->textMatrix(r, c)));
        }
        return width;
    };
    int others = 0;
    for (int c : {0, 2, 3}) {
        const int width = qMax(g->columnWidth(c), needed(c));
        g->setColWidth(c, width * FlexGrid::TwipsPerPixel);
        others += width;
    }
    // The vertical scroll bar is laid out later, once the rows are counted: its room is kept whether it shows or not.
    const int room = g->width() - 2 * g->frameWidth() - g->verticalScrollBar()->sizeHint().width();
    const int parameter = qMax(needed(1), qMin(g->columnWidth(1), room - others));
    g->setColWidth(1, parameter * FlexGrid::TwipsPerPixel);
}

void frmPerformanceMatrix::toSetRowColor(float score, float weightage, int row)
{
    const QColor colour = quadrantColour(score, weightage);
    if (!colour.isValid())
        return;
    for (int c : {2, 3}) {
        MSHFlexGrid1->setRow(row);
        MSHFlexGrid1->setCol(c);
        MSHFlexGrid1->setCellBackColor(Qt::white);
        MSHFlexGrid1->setCellBackColor(colour);
    }
}

void frmPerformanceMatrix::toSetPoint()
{
    mschart->setChartType(ChartControl::ChartType::XY);
    mschart->setLegendVisible(false);
    mschart->setAxisTitle(ChartControl::Axis::X, QStringLiteral("Score"));
    mschart->setAxisTitle(ChartControl::Axis::Y, QStringLiteral("Weightage"));
    mschart->setAxisRange(ChartControl::Axis::X, 0, 10);
    mschart->setAxisRange(ChartControl::Axis::Y, 0, 10);
    for (int s = 0; s < mschart->seriesCount(); ++s)
        mschart->setMarker(s, true, 150, ChartControl::MarkerStyle::Ball, QColor(0, 0, 255));
    mschart->refresh();
}

void frmPerformanceMatrix::toDrawOnHiddenChart()
{
    try {
        const QList<MatrixRow> rows = readMatrix();
        if (!rows.isEmpty())
            m_hiddenChart = rows;
    } catch (const ProviderError& e) {
        ChartWindows::showFirstError(e);
        toShowConnectionErrors(e);
    }
}

void frmPerformanceMatrix::mschart_PointSelected(int series, int dataPoint)
{
    if (series != 0 || dataPoint < 0 || dataPoint >= m_hiddenChart.size())
        return;
    const MatrixRow& point = m_hiddenChart[dataPoint];
    MsgBox::show(QStringLiteral("Parameter  : ") + point.parameter + QStringLiteral("\r\n") +
                     QStringLiteral("Weightage : ") + fixed2(point.wt) + QStringLiteral("\r\n") +
                     QStringLiteral("Score         : ") + fixed2(point.sc),
                 MsgBox::Information, QLatin1String(ChartWindows::kTitle));
}

void frmPerformanceMatrix::cmdPrint_Click()
{
    Progress::setBusy(true);
    if (cmdCustomerName->count() > 0) {
        Progress::setText(QStringLiteral("Generating Report...."));
        ChartWindows::printChart(mschart, QStringLiteral("perform.bmp"), QStringLiteral("scatter.rpt"),
                                 QStringLiteral("Performance Matrix Report"));
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

void frmPerformanceMatrix::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmPerformanceMatrix);
}

void frmPerformanceMatrix::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}
