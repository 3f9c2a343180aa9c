#pragma once

#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "shell/Progress.h"
#include "support/AppFixture.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include <memory>

// Drives a master-data window as a user does: typing into the floating editors, keys, mouse presses on cells.
class MasterDataFixture : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        MsgBox::clearRecords();
        Progress::setTextSink([this](const QString& text) { m_statusTexts << text; });
    }
    void TearDown() override
    {
        Progress::setTextSink({});
        Progress::setBusy(false);
        AppFixture::TearDown();
    }

    template <class W> std::unique_ptr<W> open()
    {
        auto w = std::make_unique<W>();
        w->Form_Load();
        w->show();
        return w;
    }

    static void type(QLineEdit* editor, const QString& text) { QTest::keyClicks(editor, text); }
    static void press(QWidget* widget, Qt::Key key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(widget, key);
    }
    // A press and release on a data cell, as the mouse gives them.
    static void clickCell(FlexGrid* grid, int row, int col)
    {
        grid->scrollToItem(grid->item(row, col) ? grid->item(row, col) : nullptr);
        const QRect rect = grid->visualRect(grid->model()->index(row, col));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static void clickHeading(FlexGrid* grid, int col)
    {
        QHeaderView* heading = grid->horizontalHeader();
        const int x = heading->sectionViewportPosition(col) + heading->sectionSize(col) / 2;
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, QPoint(x, heading->height() / 2));
    }
    static QStringList column(FlexGrid* grid, int col)
    {
        QStringList texts;
        for (int r = 1; r < grid->rows(); ++r)
            texts << grid->textMatrix(r, col);
        return texts;
    }
    // Every data cell, column by column: what the user sees and would save.
    static QStringList cells(FlexGrid* grid)
    {
        QStringList texts;
        for (int c = 1; c < grid->cols(); ++c)
            texts << column(grid, c);
        return texts;
    }
    QStringList messages() const
    {
        QStringList texts;
        for (const MsgBox::Shown& s : MsgBox::shown())
            texts << s.text;
        return texts;
    }

    QStringList m_statusTexts;
};
