#pragma once

#include <QTreeWidget>

// The tree of parameters and their questions, with the events the survey windows are written against: a double
// click anywhere on the tree, every key pressed in it, and the end of a drag that started from it (wherever it
// was dropped). Labels are never edited. Like a single-choice list, it keeps its chosen node.
class ParameterTree : public QTreeWidget
{
    Q_OBJECT

public:
    explicit ParameterTree(QWidget* parent = nullptr);

    // The pictures of the two kinds of question, drawn here so that they look the same under every style.
    static QIcon scoredIcon();
    static QIcon descriptiveIcon();

signals:
    void dblClick();
    void keyDown(int key);
    void oleCompleteDrag();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
};
