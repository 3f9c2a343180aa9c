#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class FlexGrid;
class QLineEdit;
class QWidget;

// The floating text box that edits a grid in place: it stands over one cell, copies every change of its text back
// into that cell, and moves from cell to cell with Enter, Tab, the arrow keys and the mouse. The grid's last column
// holds what the row is (a record's key, a kind) and is never written here.
class GridEditor : public QObject
{
    Q_OBJECT

public:
    // Why the current row of a grid moved by the keyboard; master grids reload their detail grid on it.
    enum class RowMove { Up, Down, DownAppend, Enter };

    struct Options {
        int lastEditable = 1;   // columns 1 to lastEditable take the mouse and the keys
        int firstMovedOver = 1; // the editor is moved over these columns; over others it keeps its place
        int lastMovedOver = 1;
        bool upOnFirstRowPlacesAgain = false;
        bool enterNeedsFirstColumn = false; // Enter after the last column only when column 1 is not blank
        bool addsRows = true;               // Enter after the last cell and Down on the last row append a row
        bool anyPressPlacesAgain = false;   // a press off the editable cells places the editor on the current cell
        QList<int> digitColumns;            // columns that take only the digits and Backspace from the keyboard
    };

    GridEditor(FlexGrid* grid, QLineEdit* editor, const Options& options, QObject* parent = nullptr);

    FlexGrid* grid() const { return m_grid; }
    QLineEdit* editor() const { return m_editor; }

    // Headings of the data columns (index = column, "" for none) and width factors of column 0 and the data
    // columns; the key column gets width 0.
    void layOut(const QStringList& headings, const QList<double>& widthFactors);

    // Refills the data rows, one record a row (columns 1 to the key column); no record gives one blank row.
    // Every cell is written, so no cell keeps the text of a row that stood there before.
    void fill(const QList<QStringList>& records);

    // Makes (col, row) the grid's current cell and shows the editor over it with the cell's text.
    void place(int col, int row);
    void hide();
    // After the grid was refilled: the editor shows what its cell now holds, without writing anything back.
    void resync();
    void focusIfVisible();
    // Where Tab takes the focus out of the grid: past its last editable cell to after (the button that saves the
    // grid), before its first to before. Unset: the window's focus chain.
    void leaveTo(QWidget* before, QWidget* after);

    int placedRow() const { return m_placedRow; }
    int placedCol() const { return m_placedCol; }
    int keyColumn() const;

    // The master grids reload their detail grid here, before the editor is placed on the new row.
    std::function<void(RowMove)> rowMoved;
    // Enter after the last cell of the last row; unset: a blank row is appended without saving.
    std::function<void()> addAtEnd;
    // Asked before the placed cell is written, on every change and when the editor takes a cell's text: what the
    // cell and the editor are to hold (the typed text, a rewrite of it, "" to refuse it, the cell's own text to undo
    // the change).
    std::function<QString(int row, int col, const QString& typed)> cellRule;
    // Whether a cell of columns 1 to lastEditable takes typing; Tab passes over the others. Unset: all of them.
    std::function<bool(int row, int col)> editableCell;

    static bool isBlank(const QString& text) { return text.trimmed().isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textChanged(const QString& text);
    void mouseDown();
    bool keyDown(int key);
    bool tabTo(bool forward);
    bool leaveGrid(bool forward);
    bool refusesCharacter(const QString& typed) const;
    void placeCurrent();
    void moveToRow(int row, RowMove why);
    bool movesOver(int col) const;
    bool caretAtStart() const;
    bool caretAtEnd() const;

    FlexGrid* m_grid;
    QLineEdit* m_editor;
    Options m_options;
    int m_placedRow = -1;
    int m_placedCol = -1;
    bool m_syncing = false;
    bool m_exitsNamed = false;
    QPointer<QWidget> m_before;
    QPointer<QWidget> m_after;
};
