#pragma once

#include <QApplication>

namespace quintara::ui {

// Shows the wait pointer for as long as it lives, so that the normal pointer comes back however
// the work ends.
class WaitPointer {
public:
    WaitPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitPointer() { QApplication::restoreOverrideCursor(); }
    WaitPointer(const WaitPointer &) = delete;
    WaitPointer &operator=(const WaitPointer &) = delete;
};

} // namespace quintara::ui
