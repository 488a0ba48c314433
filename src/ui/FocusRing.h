#pragma once

#include <QStyledItemDelegate>

namespace quintara::ui {

// Rings the cell that has the keyboard's focus in the text colour of its row, which the palette
// keeps readable on the row's background; the styles' own tint can be all but invisible.
class FocusRingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

} // namespace quintara::ui
