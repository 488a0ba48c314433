#pragma once

#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>

namespace quintara::ui {

// How far a text typed into a time field has got.
enum class TypedTimeState {
    Invalid,      // no time can come of it: refuse the keystroke
    Intermediate, // the shape of a time, not (yet) a possible one
    Acceptable,
};

// A time of day as people type it: "7:30", "07.30", "0730", "730" or the hour alone ("7"),
// blanks around it ignored. Nothing for anything else, "24:00" and "7:75" included.
std::optional<QTime> ParseTypedTime(QStringView text);

// Acceptable when ParseTypedTime reads it; Intermediate while it has the shape of a time, so
// that "2561" can be typed out and then refused as a whole.
TypedTimeState CheckTypedTime(QStringView text);

// The text a time field shows: "07:30".
QString TimeFieldText(QTime time);

} // namespace quintara::ui
