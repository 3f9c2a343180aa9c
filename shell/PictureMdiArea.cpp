#include "shell/PictureMdiArea.h"

#include <QPaintEvent>
#include <QPainter>

PictureMdiArea::PictureMdiArea(QWidget* parent) : QMdiArea(parent)
{
    setBackground(QColor(0xc4, 0xd1, 0xdf));
    // A child window that reaches beyond the area (placed for a larger screen, or larger than the area) can be
    // scrolled into view, buttons and all.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void PictureMdiArea::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    m_scaled = QPixmap();
    viewport()->update();
}

void PictureMdiArea::resizeEvent(QResizeEvent* event)
{
    m_scaled = QPixmap();
    QMdiArea::resizeEvent(event);
}

void PictureMdiArea::paintEvent(QPaintEvent* event)
{
    if (m_picture.isNull()) {
        QMdiArea::paintEvent(event);
        return;
    }
    const QSize area = viewport()->size();
    if (m_scaled.isNull() || m_scaled.size() != m_picture.size().scaled(area, Qt::KeepAspectRatioByExpanding))
        m_scaled = m_picture.scaled(area, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    QPainter painter(viewport());
    // Centred, the overhang of the longer side cut off.
    const QPoint origin((area.width() - m_scaled.width()) / 2, (area.height() - m_scaled.height()) / 2);
    for (const QRect& rect : event->region())
        painter.drawPixmap(rect, m_scaled, rect.translated(-origin));
}
