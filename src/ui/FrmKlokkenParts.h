#pragma once

// What the main window's files share: the week's logical geometry and the window's surface.
#include "ui/FrmKlokken.h"
#include "ui/PictureBox.h"
#include "ui/Program.h"

#include <QPainter>
#include <QSize>
#include <QWidget>

#include <functional>

namespace quintara::ui::klokken {

inline constexpr int RowPitch = WeekViewModel::RowPitch;
inline constexpr int CaptionWidth = 80;

} // namespace quintara::ui::klokken

namespace quintara::ui {

// The window's own surface: it carries every control in its layouts; a click beside them beeps.
class FrmKlokken::Surface : public QWidget {
public:
    Surface(FrmKlokken &owner, QWidget *parent) : QWidget(parent), m_owner(owner) {}

protected:
    void mousePressEvent(QMouseEvent *) override { m_owner.m_program.prompter.beep(); }

private:
    FrmKlokken &m_owner;
};

} // namespace quintara::ui
