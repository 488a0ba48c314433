#pragma once

#include <QWidget>

class QToolButton;

namespace quintara::ui {

// The up-down buttons beside a value field: two small arrow buttons, stacked, repeating while
// held. They take no focus; the field itself steps with the arrow keys.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    // Matches the height of the field it sits beside.
    void setButtonHeight(int height);

signals:
    void up();
    void down();

private:
    QToolButton *m_up;
    QToolButton *m_down;
};

} // namespace quintara::ui
