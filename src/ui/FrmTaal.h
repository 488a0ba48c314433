#pragma once

#include <QDialog>

namespace quintara::ui {

// The language form: seven buttons with the languages' own fixed names. Shown when no valid
// language is stored, before any other window.
class FrmTaal : public QDialog {
    Q_OBJECT
public:
    explicit FrmTaal(QWidget *parent = nullptr);

    // The index of the button pressed, -1 when the form was closed without a choice.
    int chosenLanguage() const { return m_chosen; }

    // Shows the form modally and returns the choice.
    static int Choose(QWidget *parent = nullptr);

    static const QStringList &LanguageNames();

private:
    int m_chosen = -1;
};

} // namespace quintara::ui
