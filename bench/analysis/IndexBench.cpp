// View in the satisfaction index window: 100,000 answers of one customer, 20 parameters over 50 dates, every
// parameter and the whole range chosen. Prints each run and the median in milliseconds.
#include "AnswerSeed.h"
#include "BenchFolder.h"
#include "analysis/frmSatisfactionIndex.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/report/ReportControl.h"
#include "shell/MDIMain.h"

#include <QApplication>
#include <QDateEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MsgBox::setTestMode(true);
    ReportControl::setTestMode(true);
    const AnswerSeed seed;
    QTemporaryDir folder;
    if (!folder.isValid() || !startProgramIn(folder.path(), [&](const QString& db) { return seed.fill(db); }))
        return 1;

    MDIMain main;
    main.show();
    auto* window = main.openChild<frmSatisfactionIndex>(true);
    window->dtFrom->setDate(seed.date(0));
    window->dtTo->setDate(seed.date(seed.dates - 1));
    window->lstParameter->selectAll();

    const qint64 median = medianOfRuns("view", [&] {
        window->cmdView_Click();
        QApplication::processEvents();
    });
    std::printf("median view: %lld ms (%d answers, %d parameters x %d dates)\n", static_cast<long long>(median),
                seed.parameters * seed.dates * seed.respondents, seed.parameters, seed.dates);
    return window->isExpanded() ? 0 : 1;
}
