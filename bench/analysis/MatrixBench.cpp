// View in the performance matrix window: 50 parameters, 20,000 answers of one customer on one survey date. Prints
// each run and the median in milliseconds.
#include "AnswerSeed.h"
#include "BenchFolder.h"
#include "analysis/frmPerformanceMatrix.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "platform/report/ReportControl.h"
#include "shell/MDIMain.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MsgBox::setTestMode(true);
    ReportControl::setTestMode(true);
    AnswerSeed seed;
    seed.parameters = 50;
    seed.dates = 1;
    seed.respondents = 400;
    QTemporaryDir folder;
    if (!folder.isValid() || !startProgramIn(folder.path(), [&](const QString& db) { return seed.fill(db); }))
        return 1;

    MDIMain main;
    main.show();
    auto* window = main.openChild<frmPerformanceMatrix>(true);
    window->lstSurveyDates->setCurrentRow(0);

    const qint64 median = medianOfRuns("view", [&] {
        window->cmdView_Click();
        QApplication::processEvents();
    });
    std::printf("median view: %lld ms (%d answers, %d parameters, one date)\n", static_cast<long long>(median),
                seed.parameters * seed.dates * seed.respondents, seed.parameters);
    return window->MSHFlexGrid1->rows() == seed.parameters + 1 ? 0 : 1;
}
