#include "ui/Mnemonics.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QSet>
#include <QTabBar>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <vector>

namespace quintara::ui {

namespace {

// A text, how to put it back, and where the letter given last time is remembered: a text set
// again by a translation has lost it, one left alone still has it, and both must come out the
// same, or the letters would wander from one activation of a window to the next.
struct Labelled {
    QString text;
    std::function<void(const QString &)> set;
    QObject *holder;
    QByteArray key;
    bool shownWithOldLetter = false;

    void forgetGivenLetter()
    {
        const QStringList given = holder->property(key.constData()).toStringList();
        shownWithOldLetter = given.size() == 2 && given.at(1) == text;
        if (shownWithOldLetter)
            text = given.at(0);
    }
    void give(const QString &withLetter)
    {
        holder->setProperty(key.constData(), QStringList{text, withLetter});
        text = withLetter;
        set(withLetter);
    }
};

constexpr char GivenLetter[] = "quintaraMnemonic";

bool Typeable(QChar c)
{
    // Letters a keyboard of any of the program's languages has without a dead key.
    return c.isDigit() || (c.unicode() < 128 && c.isLetter());
}

std::vector<Labelled> LabelledControls(QWidget &window)
{
    std::vector<Labelled> found;
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->window() != &window)
            continue; // a dialog the window owns gets its own letters
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            if (label->buddy() && label->textFormat() != Qt::RichText)
                found.push_back({label->text(), [label](const QString &t) { label->setText(t); },
                                 label, GivenLetter});
        } else if (auto *group = qobject_cast<QGroupBox *>(widget)) {
            if (group->isCheckable())
                found.push_back({group->title(), [group](const QString &t) { group->setTitle(t); },
                                 group, GivenLetter});
        } else if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
            for (int tab = 0; tab < tabs->count(); ++tab)
                found.push_back({tabs->tabText(tab),
                                 [tabs, tab](const QString &t) { tabs->setTabText(tab, t); }, tabs,
                                 GivenLetter + QByteArray::number(tab)});
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            // Tool buttons show pictures, and tab and calendar buttons are their widgets' own.
            if (!qobject_cast<QToolButton *>(button) && !button->text().isEmpty())
                found.push_back({button->text(), [button](const QString &t) { button->setText(t); },
                                 button, GivenLetter});
        }
    }
    return found;
}

// Where the mnemonic goes: a word's first letter when one is free, else any free letter.
qsizetype FreeLetter(const QString &text, const QSet<QChar> &used)
{
    for (const bool wordStart : {true, false}) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i).toLower();
            if (!Typeable(c) || used.contains(c))
                continue;
            if (!wordStart || i == 0 || !text.at(i - 1).isLetterOrNumber())
                return i;
        }
    }
    return -1;
}

} // namespace

QChar MnemonicOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'&')
            continue;
        if (text.at(i + 1) != u'&')
            return text.at(i + 1).toLower();
        ++i; // "&&" is a plain ampersand
    }
    return {};
}

void AssignMnemonics(QWidget &window)
{
    std::vector<Labelled> controls = LabelledControls(window);
    for (Labelled &control : controls)
        control.forgetGivenLetter();
    QSet<QChar> used;
    // Alt+letter opens a menu of the menu bar as well: those letters are taken.
    for (const QMenuBar *bar : window.findChildren<QMenuBar *>()) {
        for (const QAction *menu : bar->actions())
            used.insert(MnemonicOf(menu->text()));
    }
    used.remove(QChar());
    // A letter a text brings is kept, unless an earlier control has it already: then this one
    // gets a free letter like the rest.
    for (Labelled &control : controls) {
        const QChar letter = MnemonicOf(control.text);
        if (letter.isNull())
            continue;
        if (!used.contains(letter))
            used.insert(letter);
        else {
            control.text.remove(
                control.text.indexOf(u'&' + QString(letter), 0, Qt::CaseInsensitive), 1);
            control.shownWithOldLetter = true; // what it shows must change, letter or none
        }
    }
    for (Labelled &control : controls) {
        // Numbers ("1", "2": the panel's stacked lines) and "..." name nothing to type.
        const bool wordless = std::none_of(control.text.cbegin(), control.text.cend(),
                                           [](QChar c) { return c.isLetter(); });
        if (wordless || !MnemonicOf(control.text).isNull() || control.text.contains(u'&'))
            continue;
        const qsizetype at = FreeLetter(control.text, used);
        if (at < 0) {
            if (control.shownWithOldLetter)
                control.set(control.text);
            continue;
        }
        used.insert(control.text.at(at).toLower());
        control.give(QString(control.text).insert(at, u'&'));
    }
}

} // namespace quintara::ui
