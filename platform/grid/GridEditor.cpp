#include "platform/grid/GridEditor.h"

#include "platform/grid/FlexGrid.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace
{

int toPixels(double twips)
{
    return int(std::lround(twips / FlexGrid::TwipsPerPixel));
}

} // namespace

GridEditor::GridEditor(FlexGrid* grid, QLineEdit* editor, const Options& options, QObject* parent)
    : QObject(parent), m_grid(grid), m_editor(editor), m_options(options)
{
    // The grid is driven through its editor only: a keyboard move on the grid itself would change the current
    // row behind the editor's back.
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_editor->setFrame(false);
    m_editor->raise();
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::textChanged, this, &GridEditor::textChanged);
    connect(m_grid, &FlexGrid::mouseDown, this, &GridEditor::mouseDown);
    connect(m_grid, &FlexGrid::scrolled, this, &GridEditor::hide);
}

int GridEditor::keyColumn() const
{
    return m_grid->cols() - 1;
}

void GridEditor::layOut(const QStringList& headings, const QList<double>& widthFactors)
{
    const int width = m_grid->width() * FlexGrid::TwipsPerPixel;
    for (int c = 1; c < headings.size() && c < keyColumn(); ++c)
        m_grid->setTextMatrix(0, c, headings[c]);
    for (int c = 0; c < widthFactors.size() && c < keyColumn(); ++c)
        m_grid->setColWidth(c, int(std::nearbyint(width * widthFactors[c]))); // half to even
    m_grid->setColWidth(keyColumn(), 0);
    for (int c = 0; c < m_grid->cols(); ++c) {
        m_grid->setCol(c);
        m_grid->setRow(0);
        m_grid->setCellAlignment(FlexGrid::AlignCenterCenter);
        m_grid->setCellFontBold(true);
    }
}

void GridEditor::fill(const QList<QStringList>& records)
{
    const int count = int(records.size());
    m_grid->setUpdatesEnabled(false);
    m_grid->setRows(std::max(count, 1) + 1);
    for (int c = 1; c < m_grid->cols(); ++c)
        m_grid->setTextMatrix(1, c, QString());
    for (int r = 0; r < count; ++r)
        for (int c = 1; c < m_grid->cols(); ++c)
            m_grid->setTextMatrix(r + 1, c, records[r].value(c - 1));
    m_grid->setUpdatesEnabled(true);
}

bool GridEditor::movesOver(int col) const
{
    return col >= m_options.firstMovedOver && col <= m_options.lastMovedOver;
}

void GridEditor::place(int col, int row)
{
    m_editor->hide();
    m_grid->setCol(col);
    m_grid->setRow(row);
    // The editor belongs to this cell until it is placed again, whatever becomes current meanwhile.
    m_placedRow = m_grid->row();
    m_placedCol = m_grid->col();
    const QString cellText = m_grid->text();
    const bool unchanged = m_editor->text() == cellText;
    m_editor->setText(cellText);
    // Taking the cell's text is a change like typing: a cell holding what its column refuses is emptied.
    if (unchanged && cellRule)
        textChanged(cellText);
    m_editor->end(false);
    if (movesOver(m_placedCol)) {
        const double left = m_grid->x() * FlexGrid::TwipsPerPixel + m_grid->cellLeft() - 10;
        const double top = m_grid->y() * FlexGrid::TwipsPerPixel + m_grid->cellTop() - 20;
        m_editor->setGeometry(toPixels(left), toPixels(top), toPixels(m_grid->cellWidth()),
                              toPixels(m_grid->cellHeight()));
    }
    m_editor->show();
    m_editor->raise();
}

void GridEditor::hide()
{
    m_editor->hide();
}

void GridEditor::resync()
{
    if (m_placedRow < 0 || m_placedRow >= m_grid->rows() || m_placedCol < 0 || m_placedCol >= m_grid->cols()) {
        m_editor->hide();
        return;
    }
    QScopedValueRollback<bool> syncing(m_syncing, true);
    m_editor->setText(m_grid->textMatrix(m_placedRow, m_placedCol));
}

void GridEditor::focusIfVisible()
{
    if (!m_editor->isHidden())
        m_editor->setFocus();
}

void GridEditor::textChanged(const QString& text)
{
    if (m_syncing)
        return;
    const QString value = cellRule ? cellRule(m_placedRow, m_placedCol, text) : text;
    if (m_placedRow >= 1 && m_placedCol >= 1 && m_placedCol < keyColumn())
        m_grid->setTextMatrix(m_placedRow, m_placedCol, value);
    if (value != text) {
        QScopedValueRollback<bool> syncing(m_syncing, true);
        m_editor->setText(value);
    }
}

void GridEditor::mouseDown()
{
    if (m_grid->mouseRow() == 0) {
        hide();
        return;
    }
    const int row = m_grid->mouseRow();
    const int col = m_grid->mouseCol();
    if (row < 1 || row >= m_grid->rows() || col < 1 || col > m_options.lastEditable) {
        if (m_options.anyPressPlacesAgain)
            place(m_grid->col(), m_grid->row());
        return;
    }
    place(m_grid->col(), m_grid->row());
    m_editor->setFocus();
}

void GridEditor::placeCurrent()
{
    place(m_grid->col(), m_grid->row());
    m_editor->setFocus();
}

bool GridEditor::caretAtStart() const
{
    const int start = m_editor->hasSelectedText() ? m_editor->selectionStart() : m_editor->cursorPosition();
    return start == 0;
}

bool GridEditor::caretAtEnd() const
{
    const int start = m_editor->hasSelectedText() ? m_editor->selectionStart() : m_editor->cursorPosition();
    return start == m_editor->text().length();
}

void GridEditor::moveToRow(int row, RowMove why)
{
    m_grid->setRow(row);
    if (rowMoved)
        rowMoved(why);
    placeCurrent();
}

bool GridEditor::keyDown(int key)
{
    const int row = m_grid->row();
    const int col = m_grid->col();
    const int lastRow = m_grid->rows() - 1;
    const bool firstColumnFilled = !isBlank(m_grid->textMatrix(row, 1));
    switch (key) {
    case Qt::Key_Return:
        if (col >= 1 && col < m_options.lastEditable) {
            m_grid->setCol(col + 1);
            placeCurrent();
            return true;
        }
        if (col != m_options.lastEditable || (m_options.enterNeedsFirstColumn && !firstColumnFilled))
            return false;
        if (row < lastRow) {
            m_grid->setCol(1);
            moveToRow(row + 1, RowMove::Enter);
        } else if (!m_options.addsRows) {
            return false;
        } else if (addAtEnd) {
            addAtEnd();
            placeCurrent();
        } else {
            m_grid->setRows(m_grid->rows() + 1);
            m_grid->setCol(1);
            m_grid->setRow(m_grid->rows() - 1);
            placeCurrent();
        }
        return true;
    case Qt::Key_Right:
        if (!caretAtEnd() || col < 1 || col >= m_options.lastEditable)
            return false;
        m_grid->setCol(col + 1);
        placeCurrent();
        return true;
    case Qt::Key_Left:
        if (!caretAtStart() || col <= 1)
            return false;
        m_grid->setCol(col - 1);
        placeCurrent();
        return true;
    case Qt::Key_Down:
        if (row < lastRow) {
            moveToRow(row + 1, RowMove::Down);
            return true;
        }
        if (!m_options.addsRows || !firstColumnFilled)
            return false;
        m_grid->setRows(m_grid->rows() + 1);
        moveToRow(m_grid->rows() - 1, RowMove::DownAppend);
        return true;
    case Qt::Key_Up:
        if (row > 1) {
            moveToRow(row - 1, RowMove::Up);
            return true;
        }
        if (m_options.upOnFirstRowPlacesAgain) {
            placeCurrent();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void GridEditor::leaveTo(QWidget* before, QWidget* after)
{
    m_exitsNamed = true;
    m_before = before;
    m_after = after;
}

// Tab walks the editable cells row by row, as in a spreadsheet: past a row's last one to the next row's first, and
// Shift+Tab back. Only past the grid's last or before its first does the focus leave the grid. The cells already
// hold what was typed, so nothing is lost on the way.
bool GridEditor::tabTo(bool forward)
{
    int row = m_grid->row();
    const int lastRow = m_grid->rows() - 1;
    if (row < 1 || row > lastRow)
        return false;
    const int step = forward ? 1 : -1;
    const int firstCol = forward ? 1 : m_options.lastEditable;
    // From a column the keys do not edit (the selector, a key column) to the nearest editable one.
    int col = std::clamp(m_grid->col(), 0, m_options.lastEditable + 1) + step;
    if (col < 1 || col > m_options.lastEditable) {
        row += step;
        col = firstCol;
    }
    for (; row >= 1 && row <= lastRow; row += step, col = firstCol) {
        for (; col >= 1 && col <= m_options.lastEditable; col += step) {
            if (editableCell && !editableCell(row, col))
                continue;
            m_grid->setCol(col);
            if (row == m_grid->row())
                placeCurrent();
            else
                moveToRow(row, forward ? RowMove::Enter : RowMove::Up);
            return true;
        }
    }
    return leaveGrid(forward);
}

// A grid whose window named its neighbours never hands the focus to the focus chain, which may lead into another
// grid's editor or a chooser where the next key would change what the window shows.
bool GridEditor::leaveGrid(bool forward)
{
    if (!m_exitsNamed)
        return false;
    QWidget* target = forward ? m_after : m_before;
    if (target && target->isEnabled() && target->isVisible())
        target->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

// Only printable characters are refused: Backspace, Tab, Enter and shortcuts keep their use.
bool GridEditor::refusesCharacter(const QString& typed) const
{
    if (!m_options.digitColumns.contains(m_grid->col()))
        return false;
    return std::any_of(typed.cbegin(), typed.cend(),
                       [](QChar c) { return c.isPrint() && (c < QLatin1Char('0') || c > QLatin1Char('9')); });
}

// The keys are looked at before the text box sees them; a key that moved the editor is used up by the move,
// every other key (Esc included) goes on to the text box and, when it has no use for it, to the window.
bool GridEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        int key = keyEvent->key();
        if (!(keyEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (key == Qt::Key_Backtab || (key == Qt::Key_Tab && (keyEvent->modifiers() & Qt::ShiftModifier)))
                return tabTo(false);
            if (key == Qt::Key_Tab)
                return tabTo(true);
        }
        if (key == Qt::Key_Enter)
            key = Qt::Key_Return;
        return keyDown(key) || refusesCharacter(keyEvent->text());
    }
    return QObject::eventFilter(watched, event);
}
