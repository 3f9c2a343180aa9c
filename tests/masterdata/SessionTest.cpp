#include "MasterDataFixture.h"

#include "masterdata/frmCustomer.h"
#include "masterdata/frmParameter.h"

#include <QPushButton>

#include <random>

// Long scripted sessions of moves, refusals and saves. Every detail row typed carries in its text the master
// row whose details the grid showed at the time; whatever happens, it must be stored under that master row
// and no stored row may change its master.
namespace
{

class Session : public MasterDataFixture
{
protected:
    // The master key a detail grid shows, told by its first row's stored record ("none" for an unsaved master).
    QString shownMaster(FlexGrid* detail, const QString& sql)
    {
        const QString key = detail->textMatrix(1, detail->cols() - 1);
        return key.isEmpty() ? QStringLiteral("none") : value(sql, {key.toInt()}).toString();
    }
    // Types a new detail row at the bottom of the grid: text in column 1, then the second column.
    void typeDetailRow(FlexGrid* grid, QLineEdit* editor, const QString& text, const QString& second)
    {
        const int last = grid->rows() - 1;
        clickCell(grid, last, 1);
        if (!grid->textMatrix(last, 1).trimmed().isEmpty())
            press(editor, Qt::Key_Down);
        type(editor, text);
        press(editor, Qt::Key_Right);
        type(editor, second);
    }
    void checkDetails(const QString& sql, const char* step)
    {
        for (const QVariant& row : rows(sql)) {
            const QVariantList r = row.toList();
            const QString text = r[0].toString();
            const QString master = text.section(QLatin1Char('-'), -1);
            EXPECT_EQ(master, r[1].toString()) << text.toStdString() << " after " << step;
        }
    }
};

} // namespace

TEST_F(Session, RespondentsNeverChangeTheirCustomer)
{
    for (int c = 1; c <= 4; ++c) {
        run(QStringLiteral("insert into customer (custid, custname, Address) values (?, ?, ' ')"),
            {c, QStringLiteral("Customer %1").arg(c)});
        run(QStringLiteral("insert into respondent (custid, respondentname, respondentdesignation, emailid) "
                           "values (?, ?, 'S', '')"),
            {c, QStringLiteral("seed-for-%1").arg(c)});
    }
    auto w = open<frmCustomer>();
    std::mt19937 random(20240611);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QString masterSql = QStringLiteral("select custid from respondent where respondentid=?");
    int typed = 0;
    for (int step = 0; step < 300; ++step) {
        switch (pick(9)) {
        case 0:
            clickCell(w->grdCustomerDtls, 1 + pick(w->grdCustomerDtls->rows() - 1), 1 + pick(4));
            break;
        case 1: {
            const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Return, Qt::Key_Left, Qt::Key_Right};
            press(w->txtCustomerDtls, keys[pick(5)]);
            break;
        }
        case 2:
            typeDetailRow(w->grdRespondentDtls, w->txtRespondentDtls,
                          QStringLiteral("new %1-%2").arg(++typed).arg(shownMaster(w->grdRespondentDtls, masterSql)),
                          pick(10) ? QStringLiteral("D") : QString());
            break;
        case 3:
            w->cmdSaveRespondent->click();
            break;
        case 4:
            w->cmdAddRespondent->click();
            break;
        case 5:
            w->cmdSaveCustomer->click();
            break;
        case 6:
            w->cmdAddCustomer->click();
            break;
        case 7: {
            const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Return};
            press(w->txtRespondentDtls, keys[pick(3)]);
            break;
        }
        case 8:
            // Renaming a saved customer is allowed; blank rows stay blank, so they are refused.
            if (!w->grdCustomerDtls->textMatrix(w->grdCustomerDtls->row(), 5).isEmpty())
                type(w->txtCustomerDtls, QStringLiteral("x"));
            break;
        }
        if (step % 25 == 0)
            checkDetails(QStringLiteral("select respondentname, custid from respondent"), "a step");
    }
    checkDetails(QStringLiteral("select respondentname, custid from respondent"), "the session");
    EXPECT_EQ(value(QStringLiteral("select count(*) from respondent where respondentname like '%none'")).toInt(), 0);
    EXPECT_GT(value(QStringLiteral("select count(*) from respondent where respondentname like 'new%'")).toInt(), 2);
    EXPECT_FALSE(MsgBox::shown().isEmpty()); // the session did meet refusals
}

TEST_F(Session, QuestionsNeverChangeTheirParameter)
{
    for (int p = 1; p <= 3; ++p) {
        run(QStringLiteral("insert into parameter (paramid, parametername) values (?, ?)"),
            {p, QStringLiteral("Parameter %1").arg(p)});
        run(QStringLiteral("insert into questions (question, Type, paramid) values (?, 1, ?)"),
            {QStringLiteral("seed-for-%1").arg(p), p});
    }
    auto w = open<frmParameter>();
    std::mt19937 random(7);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QString masterSql = QStringLiteral("select paramid from questions where questionid=?");
    int typed = 0;
    for (int step = 0; step < 300; ++step) {
        switch (pick(8)) {
        case 0:
            clickCell(w->grdParameterDtls, 1 + pick(w->grdParameterDtls->rows() - 1), 1);
            break;
        case 1: {
            const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Return};
            press(w->txtParameterDtls, keys[pick(3)]);
            break;
        }
        case 2:
            typeDetailRow(w->grdQuestionDtls, w->txtQuestionDtls,
                          QStringLiteral("new %1-%2").arg(++typed).arg(shownMaster(w->grdQuestionDtls, masterSql)),
                          pick(2) ? QStringLiteral("d") : QStringLiteral("s"));
            break;
        case 3:
            w->cmdSaveQuestion->click();
            break;
        case 4:
            w->cmdAddQuestion->click();
            break;
        case 5:
            w->cmdAddParameter->click();
            break;
        case 6:
            w->cmdSaveParameter->click();
            break;
        case 7: {
            const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Return, Qt::Key_Right, Qt::Key_Left};
            press(w->txtQuestionDtls, keys[pick(5)]);
            break;
        }
        }
        if (step % 25 == 0)
            checkDetails(QStringLiteral("select question, paramid from questions"), "a step");
    }
    checkDetails(QStringLiteral("select question, paramid from questions"), "the session");
    EXPECT_EQ(value(QStringLiteral("select count(*) from questions where question like '%none'")).toInt(), 0);
    EXPECT_GT(value(QStringLiteral("select count(*) from questions where question like 'new%'")).toInt(), 5);
}
