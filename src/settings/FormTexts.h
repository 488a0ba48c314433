#pragma once

#include <QList>
#include <QString>

namespace quintara::settings {

class Strings;

// One piece of a control's text: a string id, or a literal joined as it stands.
struct TextPart {
    int id = 0;
    QString literal;
};

// The text a form gives one of its controls when it is translated. `control` is the object name
// (empty: the form's own caption); members of a control array carry their index, -1 otherwise.
struct ControlText {
    QString control;
    int index = -1;
    QList<TextPart> recipe;

    // The object name of the widget or action that shows it: "OptTabel_2" for an array member.
    QString objectName() const
    {
        return index < 0 ? control : control + u'_' + QString::number(index);
    }
};

// The communication menu's caption with its mnemonic; the main window sets it itself.
inline constexpr int CommunicationMenuText = 2216;

// What TranslateForm writes on the form of that name, in order; empty for a form it leaves alone.
QList<ControlText> FormTexts(const QString &formName);

// The parts joined in the language in force.
QString ComposeText(const QList<TextPart> &recipe, const Strings &strings);

} // namespace quintara::settings
