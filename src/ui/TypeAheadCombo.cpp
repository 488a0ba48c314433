#include "ui/TypeAheadCombo.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

namespace quintara::ui {

namespace {

bool AWordStartsWith(const QString &entry, const QString &typed)
{
    const QStringList words = entry.split(u' ', Qt::SkipEmptyParts);
    return std::any_of(words.begin(), words.end(), [&typed](const QString &word) {
        return word.startsWith(typed, Qt::CaseInsensitive);
    });
}

} // namespace

int TypeAheadCombo::findTyped(const QString &typed, int from) const
{
    const int n = count();
    for (int step = 1; step <= n; ++step) {
        const int i = (from + step + n) % n;
        if (AWordStartsWith(itemText(i), typed))
            return i;
    }
    return -1;
}

void TypeAheadCombo::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    const bool typing = !text.isEmpty() && text.at(0).isPrint() &&
                        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!typing || (text == QStringLiteral(" ") && m_typed.isEmpty())) {
        QComboBox::keyPressEvent(event);
        return;
    }
    if (!m_sinceLastKey.isValid() ||
        m_sinceLastKey.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_sinceLastKey.start();
    m_typed += text;
    // A first key steps on to the next entry it fits; more keys keep the entry in force
    // while it still fits.
    const int from = m_typed.size() == 1 ? currentIndex() : std::max(currentIndex() - 1, -1);
    const int found = findTyped(m_typed, from);
    if (found >= 0)
        setCurrentIndex(found);
    event->accept();
}

} // namespace quintara::ui
