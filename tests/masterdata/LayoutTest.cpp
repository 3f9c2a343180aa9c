#include "MasterDataFixture.h"

#include "masterdata/frmCustomer.h"
#include "masterdata/frmParameter.h"

#include <QPushButton>
#include <QScrollBar>

namespace
{

using MasterDataLayout = MasterDataFixture;

QRect inWindow(const QWidget* widget)
{
    return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

// With more rows than it shows, the grid scrolls, and its scroll bar lies clear of the buttons beside it.
void expectClearOfButtons(FlexGrid* grid, std::initializer_list<QPushButton*> buttons)
{
    const QScrollBar* bar = grid->verticalScrollBar();
    EXPECT_TRUE(bar->isVisible()) << grid->objectName().toStdString();
    for (const QPushButton* button : buttons) {
        EXPECT_FALSE(inWindow(grid).intersects(inWindow(button)))
            << grid->objectName().toStdString() << " under " << button->objectName().toStdString();
        EXPECT_LE(button->sizeHint().width(), button->width()) << button->objectName().toStdString();
    }
}

} // namespace

TEST_F(MasterDataLayout, ButtonColumnsLeaveTheGridsAndTheirScrollBarsInSight)
{
    for (int i = 1; i <= 9; ++i) {
        run(QStringLiteral("insert into customer (custname) values (?)"), {QStringLiteral("Customer %1").arg(i)});
        run(QStringLiteral("insert into respondent (custid, respondentname, respondentdesignation) values (1, ?, "
                           "'Staff')"),
            {QStringLiteral("Person %1").arg(i)});
        run(QStringLiteral("insert into parameter (parametername) values (?)"),
            {QStringLiteral("Parameter %1").arg(i)});
        run(QStringLiteral("insert into questions (question, Type, paramid) values (?, 1, 1)"),
            {QStringLiteral("Question %1").arg(i)});
    }
    auto customers = open<frmCustomer>();
    expectClearOfButtons(customers->grdCustomerDtls,
                         {customers->cmdAddCustomer, customers->cmdSaveCustomer, customers->cmdDeleteCustomer});
    expectClearOfButtons(customers->grdRespondentDtls,
                         {customers->cmdAddRespondent, customers->cmdSaveRespondent, customers->cmdDeleteRespondent});

    auto parameters = open<frmParameter>();
    expectClearOfButtons(parameters->grdParameterDtls,
                         {parameters->cmdAddParameter, parameters->cmdSaveParameter, parameters->cmdDeleteParameter});
    expectClearOfButtons(parameters->grdQuestionDtls,
                         {parameters->cmdAddQuestion, parameters->cmdSaveQuestion, parameters->cmdDeleteQuestion});
}
