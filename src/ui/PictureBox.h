#pragma once

#include <QPainter>
#include <QWidget>

#include <functional>

namespace quintara::ui {

// A picture drawn by a function: the day names beside the week, the legend, the pictures of
// the information panel. Transparent to the mouse.
class PictureBox : public QWidget {
public:
    using Draw = std::function<void(QPainter &, const QRect &)>;
    PictureBox(QWidget *parent, Draw draw) : QWidget(parent), m_draw(std::move(draw))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setDraw(Draw draw)
    {
        m_draw = std::move(draw);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (m_draw)
            m_draw(painter, rect());
    }

private:
    Draw m_draw;
};

} // namespace quintara::ui
