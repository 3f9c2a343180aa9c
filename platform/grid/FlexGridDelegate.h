#pragma once

#include <QStyledItemDelegate>

class FlexGrid;

// Draws a grid cell with its flex-grid formats: alignment, bold, and the heading look of fixed cells.
class FlexGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit FlexGridDelegate(FlexGrid* grid);

    static Qt::Alignment alignmentFor(int flexAlign, const QString& text);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    FlexGrid* m_grid;
};
