#include "platform/grid/FlexGridDelegate.h"

#include "platform/grid/FlexGrid.h"

#include <QLocale>

FlexGridDelegate::FlexGridDelegate(FlexGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

Qt::Alignment FlexGridDelegate::alignmentFor(int flexAlign, const QString& text)
{
    if (flexAlign < FlexGrid::AlignLeftTop || flexAlign > FlexGrid::AlignRightBottom) {
        // A number is shown in the system's format ("8,50" under a decimal comma) or, as typed, in the C form.
        bool number = false;
        QLocale().toDouble(text.trimmed(), &number);
        if (!number)
            text.trimmed().toDouble(&number);
        return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
    static const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    static const Qt::Alignment vertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
    return horizontal[flexAlign / 3] | vertical[flexAlign % 3];
}

void FlexGridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant align = index.data(FlexGrid::AlignmentRole);
    option->displayAlignment =
        alignmentFor(align.isValid() ? align.toInt() : int(FlexGrid::AlignGeneral), option->text);
    if (index.data(FlexGrid::FontBoldRole).toBool()) {
        option->font.setBold(true);
        option->fontMetrics = QFontMetrics(option->font);
    }
    if (index.row() < m_grid->fixedRows() || index.column() < m_grid->fixedCols()) {
        // Fixed cells look like headings and never show the selection.
        if (!index.data(Qt::BackgroundRole).isValid())
            option->backgroundBrush = option->palette.button();
        option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::ButtonText));
    }
}
