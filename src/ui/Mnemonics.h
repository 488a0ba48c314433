#pragma once

#include <QString>

class QWidget;

namespace quintara::ui {

// The letter a text already underlines ("&Send" gives 's'), or a null character.
QChar MnemonicOf(const QString &text);

// Gives every button, tab, checkable group and labelled field of a window an Alt+letter of its own,
// where its text does not bring one: the first free letter that starts a word, else any free
// letter. Texts come from the string table and are set again on a change of language, so this
// runs after each translation rather than living in the texts.
void AssignMnemonics(QWidget &window);

} // namespace quintara::ui
