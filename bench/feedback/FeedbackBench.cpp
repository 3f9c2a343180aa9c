// Times choosing a respondent in the feedback window (the grid and the stored answers filled) and saving every row
// of the grid, on a survey of 200 questions, in a fresh program folder of its own: bench_feedbackbench [QUESTIONS].

#include "BenchFolder.h"
#include "BenchRun.h"
#include "FeedbackSeed.h"
#include "feedback/frmFeedBackObj.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "shell/gblGlobal.h"

#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int questions = argc > 1 ? std::atoi(argv[1]) : 200;
    const int runs = 9;
    QTemporaryDir dir;
    if (!dir.isValid() || !startProgramIn(dir.path()))
        return 1;
    const QDate date(2031, 3, 14);
    seedFeedback(questions, date, QStringLiteral("Deliveries were mostly on time."));
    std::printf("survey of %d questions, answers stored for the first respondent\n", questions);

    frmFeedBackObj w;
    w.Form_Load();
    w.show();
    QList<double> choose, save;
    for (int run = 0; run < runs; ++run) {
        w.lstRespname->setCurrentRow(1);
        choose << timeMs([&] { w.lstRespname->setCurrentRow(0); });
        if (w.grdDtls->rows() != questions + 1 || w.grdDtls->textMatrix(questions, 2).isEmpty()) {
            std::fprintf(stderr, "the grid was not filled\n");
            return 1;
        }
        w.grdDtls->setTextMatrix(1 + run, 2, QString::number(run % 10 + 1));
        save << timeMs([&] { w.cmdSave_Click(); });
    }
    printTimes("choose the respondent (grid and answers)", choose);
    printTimes("save every row", save);
    if (!MsgBox::shown().isEmpty())
        std::fprintf(stderr, "a message was shown: %s\n", qPrintable(MsgBox::shown().first().text));
    toCloseConnection();
    return 0;
}
