#pragma once

#include <QMdiArea>
#include <QPixmap>

// The main window's work area, with its background picture scaled to cover the area, scrolling to child windows
// beyond its edges.
class PictureMdiArea : public QMdiArea
{
    Q_OBJECT
public:
    explicit PictureMdiArea(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPixmap m_picture;
    QPixmap m_scaled;
};
