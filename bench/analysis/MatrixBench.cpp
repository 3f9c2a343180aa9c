// View in the performance matrix window: 50 parameters, 20,000 answers of one customer on one survey date. Prints
// each run and the median in milliseconds.
#include "AnswerSeed.h"
#include "BenchRun.h"
#include "analysis/frmPerformanceMatrix.h"
#include "platform/grid/FlexGrid.h"
#include "shell/MDIMain.h"

#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
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

    const double ms = medianOfRuns("view", 7, [&] { window->cmdView_Click(); });
    std::printf("median view: %.0f ms (%d answers, %d parameters, one date)\n", ms,
                seed.parameters * seed.dates * seed.respondents, seed.parameters);
    return window->MSHFlexGrid1->rows() == seed.parameters + 1 ? 0 : 1;
}
