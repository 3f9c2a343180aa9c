#pragma once

#include <QHeaderView>

class FlexGrid;

// Stands where a table's column header would: draws the grid's fixed rows, so that they stay at the top while
// the other rows scroll, and hands mouse presses and drops on them to the grid. Column widths live here, as
// in any table header.
class FlexGridHeading : public QHeaderView
{
    Q_OBJECT

public:
    explicit FlexGridHeading(FlexGrid* grid);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int rowAtY(int y) const;

    FlexGrid* m_grid;
};
