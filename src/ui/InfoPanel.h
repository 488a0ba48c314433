#pragma once

#include <QList>
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QTabBar;

namespace quintara::render {
class Pictures;
}

namespace quintara::ui {

class PictureBox;

// The main window's information panel: the line commands, the project in force, and one
// panel per line under the last click with a tab each. It shows what it is given; which line
// is selected is the window's business, told through tabChosen.
class InfoPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxPanels = 10;
    static constexpr int PanelWidth = 260;

    // What one panel says of a line: its function and level, its time and repetition, and
    // the marker picture.
    struct Entry {
        QString what;
        QString when;
        int picture = 0;
    };

    InfoPanel(const render::Pictures &pictures, QWidget *parent = nullptr);

    void setProject(const QString &caption, const QString &name);
    // One panel and tab per entry (at most MaxPanels); `chosen` (or none, -1) highlighted.
    void showEntries(const QList<Entry> &entries, int chosen);
    // Moves the highlight without rebuilding the panels.
    void highlight(int chosen);
    QTabBar *tabs() const { return m_tabs; }

signals:
    void addClicked();
    void editClicked();
    void deleteClicked();
    void testClicked();
    // A tab was clicked, or changed by keys or the wheel.
    void tabChosen(int index);

private:
    // The panels of the lines, in a column that scrolls where the window is too low for them.
    QWidget *buildPanels();
    void paintHighlight(int panel, bool chosen);

    const render::Pictures &m_pictures;
    std::array<QLabel *, 2> m_project{};
    QTabBar *m_tabs = nullptr;
    std::array<QWidget *, MaxPanels> m_panels{};
    std::array<PictureBox *, MaxPanels> m_icons{};
    std::array<QLabel *, MaxPanels> m_what{};
    std::array<QLabel *, MaxPanels> m_when{};
    int m_count = 0;
    int m_chosen = -1;
};

} // namespace quintara::ui
