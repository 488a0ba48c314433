#pragma once

#include <QComboBox>
#include <QElapsedTimer>

namespace quintara::ui {

// A list whose keys find an entry by the start of any of its words: "21" and "Hea" both find
// " 21 Heating", where a plain list looks only at the first character, a blank here.
class TypeAheadCombo : public QComboBox {
public:
    using QComboBox::QComboBox;

    // The first entry after `from` (wrapping round) that a word of starts with `typed`.
    int findTyped(const QString &typed, int from) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_typed;
    QElapsedTimer m_sinceLastKey;
};

} // namespace quintara::ui
