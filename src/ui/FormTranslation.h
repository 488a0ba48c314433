#pragma once

class QWidget;

namespace quintara::settings {
class Strings;
}

namespace quintara::ui {

// Puts the form's texts in the language in force on its controls, found by object name; the
// form's object name says which texts it gets.
void TranslateForm(QWidget &form, const settings::Strings &strings);

// Places the form in the middle of its screen.
void CentreForm(QWidget &form);

} // namespace quintara::ui
