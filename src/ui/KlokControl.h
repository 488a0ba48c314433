#pragma once

#include <QWidget>

namespace quintara::clock {
struct ClockTable;
}

namespace quintara::ui {

class Pictures;

// One marker of the week view: the picture of the line's function kind, a triangle in the
// colour of its day-table pointing at the occurrence, a second triangle when the line is the
// selected one, and the number of lines stacked on this spot. The occurrence lies at (5, 25).
//
// ClkIndex 0..99 is the reference marker of that line, -2 - i a repeat marker of line i, -1 a
// free marker that draws nothing. The week area takes the mouse for the markers (they are
// transparent to it), so a click lands at the same week coordinates wherever a marker stands.
class KlokControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int ClkIndex READ ClkIndex WRITE setClkIndex NOTIFY propertyChanged)
    Q_PROPERTY(int ClkCount READ ClkCount WRITE setClkCount NOTIFY propertyChanged)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle NOTIFY propertyChanged)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle NOTIFY propertyChanged)
public:
    static constexpr int MarkerWidth = 10;
    static constexpr int MarkerHeight = 50;
    static constexpr int ReferenceX = 5;
    static constexpr int ReferenceY = 25;
    static constexpr int FreeIndex = -1;

    KlokControl(const clock::ClockTable &table, const Pictures &pictures,
                QWidget *parent = nullptr);

    int ClkIndex() const { return m_clkIndex; }
    void setClkIndex(int index);
    int ClkCount() const { return m_clkCount; }
    void setClkCount(int count);
    int BackStyle() const { return m_backStyle; }
    void setBackStyle(int style);
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style);

    // The line the marker stands for, or -1 for a free marker (or an index that names none).
    int lineIndex() const;
    // The picture last chosen by Refresh (1..9).
    int picture() const { return m_picture; }

    // Chooses the picture from the line's function and level and repaints.
    void Refresh();

signals:
    // Any property was set, with its name.
    void propertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const clock::ClockTable &m_table;
    const Pictures &m_pictures;
    int m_clkIndex = 0;
    int m_clkCount = 0;
    int m_backStyle = 0;
    int m_borderStyle = 0;
    int m_picture = 1;
};

// The drawing colour of a day-table; black for a table number no editor makes.
QColor TableColour(int table);

} // namespace quintara::ui
