#include "MasterDataFixture.h"

#include "masterdata/frmCustomer.h"
#include "masterdata/frmParameter.h"

#include <QPushButton>
#include <QScrollBar>

namespace
{

using MasterDataLayout = MasterDataFixture;

// With more rows than it shows, the grid scrolls, and no button of the column beside it covers it.
void expectClearOfButtons(FlexGrid* grid, std::initializer_list<QPushButton*> buttons)
{
    EXPECT_TRUE(grid->verticalScrollBar()->isVisible()) << grid->objectName().toStdString();
    const QRect area(grid->mapTo(grid->window(), QPoint(0, 0)), grid->size());
    for (const QPushButton* button : buttons)
        EXPECT_FALSE(area.intersects(QRect(button->mapTo(button->window(), QPoint(0, 0)), button->size())))
            << grid->objectName().toStdString() << " under " << button->objectName().toStdString();
}

} // namespace

TEST_F(MasterDataLayout, ButtonColumnsLeaveTheGridsAndTheirScrollBarsInSight)
{
    for (int i = 1; i <= 9; ++i) {
        const QString n = QString::number(i);
        run(QStringLiteral("insert into customer (custname) values (?)"), {n});
        run(QStringLiteral("insert into respondent (custid, respondentname, respondentdesignation) values (1, ?, ?)"),
            {n, n});
        run(QStringLiteral("insert into parameter (parametername) values (?)"), {n});
        run(QStringLiteral("insert into questions (question, Type, paramid) values (?, 1, 1)"), {n});
    }
    auto c = open<frmCustomer>();
    expectClearOfButtons(c->grdCustomerDtls, {c->cmdAddCustomer, c->cmdSaveCustomer, c->cmdDeleteCustomer});
    expectClearOfButtons(c->grdRespondentDtls, {c->cmdAddRespondent, c->cmdSaveRespondent, c->cmdDeleteRespondent});
    auto p = open<frmParameter>();
    expectClearOfButtons(p->grdParameterDtls, {p->cmdAddParameter, p->cmdSaveParameter, p->cmdDeleteParameter});
    expectClearOfButtons(p->grdQuestionDtls, {p->cmdAddQuestion, p->cmdSaveQuestion, p->cmdDeleteQuestion});
}
