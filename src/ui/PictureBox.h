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
    // A picture whose height follows its width (a legend that wraps), at its best `preferred`
    // wide.
    void setHeightForWidth(std::function<int(int width)> height, std::function<int()> preferred)
    {
        m_height = std::move(height);
        m_preferred = std::move(preferred);
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
        updateGeometry();
    }
    bool hasHeightForWidth() const override { return bool(m_height); }
    int heightForWidth(int width) const override { return m_height ? m_height(width) : -1; }
    QSize sizeHint() const override
    {
        if (!m_height)
            return QWidget::sizeHint();
        const int width = m_preferred();
        return {width, m_height(width)};
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
    std::function<int(int)> m_height;
    std::function<int()> m_preferred;
};

} // namespace quintara::ui
