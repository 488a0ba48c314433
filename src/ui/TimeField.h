#pragma once

#include <QAbstractSpinBox>
#include <QTime>

namespace quintara::ui {

// A time of day (hours and minutes) that takes what people type: "0730", "7:30", "07.30", "730".
// A click or Tab selects the whole field, so typing replaces it. A text that is no possible time
// ("2561", "24:00") is refused when the field is left or Enter is pressed: the time stays as it
// was and refused() is emitted. The arrow keys and buttons step the hour or the minutes, whichever
// the cursor is in.
class TimeField : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit TimeField(QWidget *parent = nullptr);

    QTime time() const { return m_time; }
    // An invalid time leaves the field as it is.
    void setTime(QTime time);

    // Reads the typed text: a time becomes the field's time; anything else is refused. Either
    // way the field then shows its time. Answers whether the text was taken.
    bool takeTypedText();

    QValidator::State validate(QString &input, int &pos) const override;
    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void refused();

protected:
    StepEnabled stepEnabled() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool cursorInHours() const;
    void showTime(QTime time);

    QTime m_time{0, 0};
    // Set by a click that brought the focus: the release selects the whole field.
    bool m_selectOnRelease = false;
};

} // namespace quintara::ui
