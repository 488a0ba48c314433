#include "ui/InfoPanel.h"

#include "render/Pictures.h"
#include "ui/PictureBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace quintara::ui {

InfoPanel::InfoPanel(const render::Pictures &pictures, QWidget *parent)
    : QWidget(parent), m_pictures(pictures)
{
    setObjectName(QStringLiteral("SidePanel"));
    setFixedWidth(PanelWidth);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 6, 0, 0);
    column->setSpacing(0);
    auto *buttons = new QGridLayout;
    buttons->setSpacing(6);
    auto button = [this, buttons](const char *name, int row, int place, auto signal) {
        auto *b = new QPushButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setMinimumHeight(28);
        connect(b, &QPushButton::clicked, this, signal);
        buttons->addWidget(b, row, place);
    };
    button("CmdAdd", 0, 0, &InfoPanel::addClicked);
    button("CmdEdit", 0, 1, &InfoPanel::editClicked);
    button("CmdDelete", 1, 0, &InfoPanel::deleteClicked);
    button("CmdTest", 1, 1, &InfoPanel::testClicked);
    column->addLayout(buttons);
    column->addSpacing(10);

    for (int k = 0; k < 2; ++k) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("LblNBT_%1").arg(k));
        label->setMinimumHeight(18);
        column->addWidget(label);
        m_project[std::size_t(k)] = label;
    }
    column->addSpacing(8);
    QFont bold = m_project[1]->font();
    bold.setBold(true);
    m_project[1]->setFont(bold);

    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("TabClk"));
    column->addWidget(m_tabs);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    connect(m_tabs, &QTabBar::tabBarClicked, this, &InfoPanel::tabChosen);
    // Keys and the wheel change the tab too; the selection follows the tab on show.
    connect(m_tabs, &QTabBar::currentChanged, this, &InfoPanel::tabChosen);

    column->addWidget(buildPanels(), 1);
}

QWidget *InfoPanel::buildPanels()
{
    // The panels scroll where the window is too low for ten of them.
    auto *scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidgetResizable(true);
    // The tabs above choose a panel from the keyboard; a stop here would only scroll, unnamed.
    scroller->setFocusPolicy(Qt::NoFocus);
    auto *panels = new QWidget;
    auto *panelColumn = new QVBoxLayout(panels);
    panelColumn->setContentsMargins(0, 2, 0, 0);
    panelColumn->setSpacing(2);
    QFont small = font();
    small.setPointSizeF(8);
    for (int k = 0; k < MaxPanels; ++k) {
        auto *panel = new QWidget(panels);
        panel->setObjectName(QStringLiteral("PicFnc_%1").arg(k));
        panel->setFixedSize(PanelWidth, 32);
        panelColumn->addWidget(panel);
        panel->setAutoFillBackground(true);
        // A click on a panel is the panel's, not a click beside the week.
        panel->setAttribute(Qt::WA_NoMousePropagation);
        auto *icon = new PictureBox(panel, {});
        icon->setObjectName(QStringLiteral("ImgFnc_%1").arg(k));
        icon->setGeometry(4, 2, 20, 28);
        auto *what = new QLabel(panel);
        what->setObjectName(QStringLiteral("LblFunctieA_%1").arg(k));
        what->setGeometry(28, 1, PanelWidth - 32, 15);
        what->setFont(small);
        auto *when = new QLabel(panel);
        when->setObjectName(QStringLiteral("LblFunctieB_%1").arg(k));
        when->setGeometry(28, 16, PanelWidth - 32, 15);
        when->setFont(small);
        m_panels[std::size_t(k)] = panel;
        m_icons[std::size_t(k)] = icon;
        m_what[std::size_t(k)] = what;
        m_when[std::size_t(k)] = when;
        paintHighlight(k, false);
        panel->hide();
    }
    panelColumn->addStretch(1);
    scroller->setWidget(panels);
    return scroller;
}

void InfoPanel::setProject(const QString &caption, const QString &name)
{
    m_project[0]->setText(caption);
    m_project[1]->setText(name);
}

void InfoPanel::showEntries(const QList<Entry> &entries, int chosen)
{
    m_count = std::min<int>(int(entries.size()), MaxPanels);
    const QSignalBlocker blocker(m_tabs);
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    for (int k = 0; k < MaxPanels; ++k) {
        QWidget *panel = m_panels[std::size_t(k)];
        if (k >= m_count) {
            panel->hide();
            continue;
        }
        const Entry &entry = entries[k];
        m_tabs->addTab(QString::number(k + 1));
        m_what[std::size_t(k)]->setText(entry.what);
        m_what[std::size_t(k)]->setToolTip(entry.what);
        m_when[std::size_t(k)]->setText(entry.when);
        m_icons[std::size_t(k)]->setDraw(
            [this, picture = entry.picture](QPainter &painter, const QRect &area) {
                // The picture part of the marker, twice its size.
                const qreal scale = area.width() / double(render::Pictures::MarkerPictureWidth);
                painter.scale(scale * 0.95, scale * 0.95);
                m_pictures.drawMarker(painter, picture,
                                      QRectF(0, 0, render::Pictures::MarkerPictureWidth,
                                             render::Pictures::MarkerPictureHeight));
            });
        paintHighlight(k, k == chosen);
        panel->show();
    }
    m_chosen = chosen >= 0 && chosen < m_count ? chosen : -1;
    if (m_chosen >= 0)
        m_tabs->setCurrentIndex(m_chosen);
}

void InfoPanel::highlight(int chosen)
{
    if (m_chosen >= 0)
        paintHighlight(m_chosen, false);
    m_chosen = chosen >= 0 && chosen < m_count ? chosen : -1;
    if (m_chosen >= 0)
        paintHighlight(m_chosen, true);
}

void InfoPanel::paintHighlight(int panel, bool chosen)
{
    const std::size_t k = std::size_t(panel);
    QPalette colours = m_panels[k]->palette();
    colours.setColor(QPalette::Window, chosen
                                           ? QColor(0, 0, 128)
                                           : QApplication::palette().color(QPalette::ToolTipBase));
    // The tooltip colours of the palette in force, so that a dark one reads as well.
    colours.setColor(QPalette::WindowText,
                     chosen ? QColor(Qt::white)
                            : QApplication::palette().color(QPalette::ToolTipText));
    m_panels[k]->setPalette(colours);
    m_what[k]->setPalette(colours);
    m_when[k]->setPalette(colours);
}

} // namespace quintara::ui
