#pragma once

#include <QProxyStyle>

namespace quintara::ui {

// The keyboard's focus framed in a colour that stands out from the window at least 3:1 (the
// highlight where it does, else the text colour) and two pixels wide: the styles' own frame is
// a faint tint that a radio button or a tab can hide.
class FocusFrameStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

    // The frame's colour in a palette.
    static QColor FrameColour(const QPalette &palette);
};

// A frame in the focus colour on a widget that draws no focus of its own (the print preview's
// pages), while it has the focus.
void FrameWhileFocused(QWidget &widget);

} // namespace quintara::ui
