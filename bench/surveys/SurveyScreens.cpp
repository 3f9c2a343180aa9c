// Pictures of the survey windows with a survey of a dozen questions under three parameters, and of a drag from
// the parameter tree in progress: survey_screens OUTDIR.

#include "BenchFolder.h"
#include "BenchRun.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "shell/Db.h"
#include "shell/Transaction.h"
#include "shell/gblGlobal.h"
#include "surveys/ParameterTree.h"
#include "surveys/SurveyWindows.h"
#include "surveys/frmEditExistingSurvey.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmPasteSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include <QDateEdit>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace
{

const QStringList kParameters = {QStringLiteral("Service"), QStringLiteral("Product quality"),
                                 QStringLiteral("Delivery")};
const QList<QStringList> kQuestions = {
    {QStringLiteral("How quickly do we answer your calls?"), QStringLiteral("How courteous are our staff?"),
     QStringLiteral("How well do we follow up on complaints?"), QStringLiteral("What should we do better?"),
     QStringLiteral("How easy is it to reach the right person?")},
    {QStringLiteral("How satisfied are you with the finish?"), QStringLiteral("How durable are our products?"),
     QStringLiteral("How often do you find defects?"), QStringLiteral("Comments on product quality"),
     QStringLiteral("How well does the product meet your needs?")},
    {QStringLiteral("Do deliveries arrive on time?"), QStringLiteral("Is the packaging adequate?"),
     QStringLiteral("Is the paperwork complete?"), QStringLiteral("Anything else about delivery?"),
     QStringLiteral("How flexible are we with changed dates?")}};

void seed(const QDate& d1, const QDate& d2)
{
    Transaction t;
    Db::exec(QStringLiteral("insert into customer (custname) values ('Harbour Foods'), ('Northwind Tools')"));
    Db::exec(QStringLiteral("insert into respondent (custid, respondentname) values (1, 'Ann Carter'), "
                            "(1, 'Bob Lee'), (2, 'Chris Moore')"));
    for (int p = 0; p < kParameters.size(); ++p) {
        Db::exec(QStringLiteral("insert into parameter (parametername) values (?)"), {kParameters[p]});
        for (int q = 0; q < kQuestions[p].size(); ++q)
            Db::exec(QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"),
                     {kQuestions[p][q], q == 3 ? 0 : 1, p + 1});
    }
    Db::exec(QStringLiteral("insert into survey (sdate, custid) values (?, 1), (?, 1)"), {d1, d2});
    // Ann: four questions of each parameter; Bob: five on the other date.
    int order = 0;
    for (int p = 0; p < 3; ++p)
        for (int q = 0; q < 4; ++q)
            Db::exec(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                                    "values (1, ?, 1, ?)"),
                     {p * 5 + q + 1, ++order});
    for (int i = 1; i <= 5; ++i)
        Db::exec(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                                "values (2, ?, 2, ?)"),
                 {i * 3, i});
    t.commit();
}

} // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv, false);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTemporaryDir dir;
    if (!dir.isValid() || !startProgramIn(dir.path()))
        return 1;
    const QDate d1(2031, 3, 14);
    const QDate d2(2031, 6, 1);
    seed(d1, d2);

    auto* chooser = new frmSelectSurvey;
    chooser->Form_Load();
    chooser->dtSDate->setDate(d1);
    chooser->show();
    saveShot(chooser, out + QStringLiteral("/frmSelectSurvey.png"));

    MsgBox::setNextAnswer(MsgBox::Yes);
    chooser->cmdBlankSurvey->click();
    frmNewSurvey* composer = SurveyWindows::loadedNewSurvey();
    composer->trvParameter->expandAll();
    composer->grdParamAndQuest->setRow(3);
    saveShot(composer, out + QStringLiteral("/frmNewSurvey.png"));

    auto* editor = new frmEditExistingSurvey;
    editor->Form_Load();
    editor->show();
    editor->trvParameter->expandAll();
    saveShot(editor, out + QStringLiteral("/frmEditExistingSurvey.png"));

    gPasteForNewSurvey = false;
    {
        frmPasteSurvey paste({QStringLiteral("Harbour Foods"), QStringLiteral("Bob Lee"), d2}, editor, editor);
        paste.show();
        saveShot(&paste, out + QStringLiteral("/frmPasteSurvey.png"));
        paste.reject();
    }

    // A real drag from the tree towards the grid, pictured half way and over the grid, then cancelled with Esc.
    editor->activateWindow();
    editor->raise();
    QCoreApplication::processEvents();
    ParameterTree* tree = editor->trvParameter;
    QTreeWidgetItem* item = tree->topLevelItem(2)->child(4);
    tree->setCurrentItem(item);
    const QPoint from = tree->visualItemRect(item).center();
    const QPoint target = editor->grdParamAndQuest->mapToGlobal(QPoint(200, 120));
    QTimer::singleShot(400, [&] {
        QCursor::setPos(target);
        QTimer::singleShot(400, [&] {
            QScreen* screen = QGuiApplication::primaryScreen();
            screen->grabWindow(0).save(out + QStringLiteral("/drag.png"));
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(editor, &esc);
        });
    });
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, from);
    QCursor::setPos(tree->viewport()->mapToGlobal(from));
    QTest::mouseMove(tree->viewport(), from + QPoint(40, 0));
    QTest::mouseMove(tree->viewport(), from + QPoint(80, 0));
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, from + QPoint(80, 0));
    QCoreApplication::processEvents();
    toCloseConnection();
    return 0;
}
