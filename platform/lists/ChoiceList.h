#pragma once

#include <QListWidget>

// A list box of which one entry is chosen at a time. Once an entry is chosen the user can move the choice but not
// take it away: a press where there is no entry changes nothing, and Ctrl with a click or the space bar does not
// clear it. Code may still clear it (refilling the list, say). What the list gives is the chosen entry, never
// merely the current one.
class ChoiceList : public QListWidget
{
    Q_OBJECT

public:
    explicit ChoiceList(QWidget* parent = nullptr);

    // The chosen entry, nullptr when none is.
    QListWidgetItem* chosenItem() const;
    // Its row, -1 when none is chosen.
    int chosenRow() const;

    // The rule for any single-choice view: a view's own selection command for the user's input, turned so that
    // the entry reached is chosen and none is un-chosen. Commands from code (no event) pass unchanged.
    static QItemSelectionModel::SelectionFlags keepChoice(QItemSelectionModel::SelectionFlags command,
                                                          const QModelIndex& index, const QEvent* event);
    // Whether a press at pos in view reaches no entry, and is to be ignored.
    static bool pressesNoEntry(const QAbstractItemView* view, const QMouseEvent* event);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void mousePressEvent(QMouseEvent* event) override;
};
