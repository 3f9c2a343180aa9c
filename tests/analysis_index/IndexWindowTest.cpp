#include "analysis/frmSatisfactionIndex.h"
#include "analysis_index/AnswerFixture.h"
#include "platform/chart/ChartControl.h"
#include "platform/report/ValueFormat.h"
#include "shell/Progress.h"

#include <QChart>
#include <QClipboard>
#include <QDateEdit>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QValueAxis>

// The window driven as a user drives it, from the main window's menu.
class IndexWindow : public AnswerFixture
{
protected:
    void SetUp() override
    {
        AnswerFixture::SetUp();
        const int c = customer(QStringLiteral("Acme"));
        const int ann = respondent(c, QStringLiteral("Ann"));
        const int bob = respondent(c, QStringLiteral("Bob"));
        const int cy = respondent(c, QStringLiteral("Cy"));
        const int delivery = question(QStringLiteral("Delivery"));
        const int service = question(QStringLiteral("Service"));
        const int range = question(QStringLiteral("Range"));
        answer(c, ann, delivery, d1, 8, 7);
        answer(c, bob, delivery, d1, 5, 9);
        answer(c, cy, delivery, d1, 0, 6);
        answer(c, ann, delivery, d2, 6, 6);
        answer(c, ann, service, d3, 1, 10);
        answer(c, bob, service, d3, 1, 10);
        answer(c, cy, service, d3, 2, 10);
        // Outside the range viewed below.
        answer(c, ann, range, d3.addDays(1), 5, 5);

        ASSERT_TRUE(m_main->mnuSatisfactionIndex->isEnabled());
        m_main->mnuSatisfactionIndex->trigger();
        w = m_main->windows()->find<frmSatisfactionIndex>();
        ASSERT_TRUE(w);
        w->dtFrom->setDate(d1);
        w->dtTo->setDate(d3);
        w->lstParameter->selectAll();
        w->cmdView_Click();
        ASSERT_TRUE(w->isExpanded());
    }

    frmSatisfactionIndex* w = nullptr;
};

TEST_F(IndexWindow, ViewDrawsOneLinePerSelectedParameter)
{
    ChartControl* chart = w->msChart;
    // Columns in list order; Range has no index in the range and keeps its column.
    ASSERT_EQ(chart->columnCount(), 3);
    EXPECT_EQ(chart->columnLabel(0), QStringLiteral("Delivery"));
    EXPECT_EQ(chart->columnLabel(1), QStringLiteral("Range"));
    EXPECT_EQ(chart->columnLabel(2), QStringLiteral("Service"));
    ASSERT_EQ(chart->rowCount(), 3);
    EXPECT_EQ(chart->rowLabel(0), ValueFormat::formatDate(d1));
    EXPECT_EQ(chart->rowLabel(2), ValueFormat::formatDate(d3));
    EXPECT_TRUE(chart->pointPosition(0, 0) && chart->pointPosition(0, 1));
    EXPECT_FALSE(chart->pointPosition(0, 2));
    for (int r = 0; r < 3; ++r)
        EXPECT_FALSE(chart->pointPosition(1, r));
    EXPECT_FALSE(chart->pointPosition(2, 0));
    EXPECT_TRUE(chart->pointPosition(2, 2));
    // (1, 10), (1, 10), (2, 10) give 10.333333 by the stepwise rounding: the value axis reaches it.
    auto* axis = qobject_cast<QValueAxis*>(chart->chart()->axes(Qt::Vertical).value(0));
    ASSERT_TRUE(axis);
    EXPECT_EQ(axis->min(), 0);
    EXPECT_EQ(axis->max(), 11);

    // The clicked point's value as the chart holds it, with the single-precision digits.
    QTest::mouseClick(chart->viewport(), Qt::LeftButton, {}, chart->pointPosition(0, 0)->toPoint());
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown().last().text, QStringLiteral("Satisfaction Index : 7.66666650772095"));
    EXPECT_EQ(MsgBox::shown().last().style, MsgBox::OkOnly);

    // A changed date collapses the window until the next View.
    w->dtTo->setDate(d3.addDays(1));
    EXPECT_FALSE(w->isExpanded());
    EXPECT_FALSE(w->cmdPrint->isEnabled());
    w->lstParameter_KeyDown(13);
    EXPECT_TRUE(w->isExpanded());
    w->lstParameter->item(0)->setSelected(false);
    EXPECT_FALSE(w->isExpanded());
}

TEST_F(IndexWindow, ReportPrintsTheChartAsDrawn)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    w->cmdPrint_Click();

    const QImage saved(QDir(folder()).filePath(QStringLiteral("satis.bmp")), "BMP");
    ASSERT_FALSE(saved.isNull());
    const QImage drawn = w->msChart->picture().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), drawn);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), drawn);

    ASSERT_EQ(ReportControl::runs().size(), 1);
    const ReportControl::Run run = ReportControl::runs().last();
    EXPECT_EQ(run.windowTitle, QStringLiteral("Survey Report"));
    EXPECT_EQ(run.windowState, ReportControl::Maximized);
    EXPECT_EQ(QFileInfo(run.reportFileName).fileName(), QStringLiteral("satisfactionindex.rpt"));
    const QString text = pdfText(run.pdf);
    for (const char* expected : {"Harbour Quality Ltd", "Acme", "Delivery", "Service", "7.67", "10.33"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Range")));
    EXPECT_EQ(Progress::text(), QString());
}

// An older picture must not be printed as this one.
TEST_F(IndexWindow, APictureThatCannotBeSavedIsReportedAndNothingPrinted)
{
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("satis.bmp")));
    w->cmdPrint_Click();
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown().last().text.startsWith(QStringLiteral("75:")))
        << MsgBox::shown().last().text.toStdString();
    EXPECT_EQ(Progress::text(), QString());
    EXPECT_FALSE(Progress::busy());
}
