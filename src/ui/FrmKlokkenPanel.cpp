// The information panel of the main window: the lines under the last click, one tab each.
#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"

#include "clock/ClockTable.h"
#include "settings/NameTables.h"
#include "ui/Program.h"
#include "ui/presentation/LineDescriber.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace quintara::ui {

using namespace klokken;

namespace {

constexpr int BandTextId = 2110;

QColor infoBackground()
{
    return QApplication::palette().color(QPalette::ToolTipBase);
}

} // namespace

void FrmKlokken::buildSidePanel()
{
    constexpr int width = SidePanelWidth;
    m_side = new QWidget(m_surface);
    m_side->setObjectName(QStringLiteral("SidePanel"));
    m_side->setFixedWidth(width);
    auto *column = new QVBoxLayout(m_side);
    column->setContentsMargins(0, 6, 0, 0);
    column->setSpacing(0);
    auto *buttons = new QGridLayout;
    buttons->setSpacing(6);
    auto button = [this, buttons](const char *name, int row, int place, auto handler) {
        auto *b = new QPushButton(m_side);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setMinimumHeight(28);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b, row, place);
        return b;
    };
    m_cmdAdd = button("CmdAdd", 0, 0, [this] { AddLine(clock::Workday); });
    m_cmdEdit = button("CmdEdit", 0, 1, [this] { EditLine(); });
    m_cmdDelete = button("CmdDelete", 1, 0, [this] { DeleteLine(); });
    m_cmdTest = button("CmdTest", 1, 1, [this] { OnlineTest(); });
    column->addLayout(buttons);
    column->addSpacing(10);

    for (int k = 0; k < 2; ++k) {
        auto *label = new QLabel(m_side);
        label->setObjectName(QStringLiteral("LblNBT_%1").arg(k));
        label->setMinimumHeight(18);
        column->addWidget(label);
        m_lblProject[static_cast<std::size_t>(k)] = label;
    }
    column->addSpacing(8);
    QFont bold = m_lblProject[1]->font();
    bold.setBold(true);
    m_lblProject[1]->setFont(bold);

    m_tabClk = new QTabBar(m_side);
    m_tabClk->setObjectName(QStringLiteral("TabClk"));
    column->addWidget(m_tabClk);
    m_tabClk->setExpanding(false);
    m_tabClk->setDrawBase(true);
    connect(m_tabClk, &QTabBar::tabBarClicked, this, [this](int index) { tabChosen(index); });
    // Keys and the wheel change the tab too; the selection follows the tab on show.
    connect(m_tabClk, &QTabBar::currentChanged, this, [this](int index) { tabChosen(index); });

    // The panels scroll where the window is too low for ten of them.
    auto *scroller = new QScrollArea(m_side);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setWidgetResizable(true);
    auto *panels = new QWidget;
    auto *panelColumn = new QVBoxLayout(panels);
    panelColumn->setContentsMargins(0, 2, 0, 0);
    panelColumn->setSpacing(2);
    QFont small = font();
    small.setPointSizeF(8);
    for (int k = 0; k < MaxHits; ++k) {
        auto *panel = new QWidget(panels);
        panel->setObjectName(QStringLiteral("PicFnc_%1").arg(k));
        panel->setFixedSize(width, 32);
        panelColumn->addWidget(panel);
        panel->setAutoFillBackground(true);
        // A click on a panel is the panel's, not a click beside the week.
        panel->setAttribute(Qt::WA_NoMousePropagation);
        auto *icon = new PictureBox(panel, {});
        icon->setObjectName(QStringLiteral("ImgFnc_%1").arg(k));
        icon->setGeometry(4, 2, 20, 28);
        auto *a = new QLabel(panel);
        a->setObjectName(QStringLiteral("LblFunctieA_%1").arg(k));
        a->setGeometry(28, 1, width - 32, 15);
        a->setFont(small);
        auto *b = new QLabel(panel);
        b->setObjectName(QStringLiteral("LblFunctieB_%1").arg(k));
        b->setGeometry(28, 16, width - 32, 15);
        b->setFont(small);
        m_picFnc[static_cast<std::size_t>(k)] = panel;
        m_imgFnc[static_cast<std::size_t>(k)] = icon;
        m_lblFunctieA[static_cast<std::size_t>(k)] = a;
        m_lblFunctieB[static_cast<std::size_t>(k)] = b;
        highlightPanel(k, false);
        panel->hide();
    }
    panelColumn->addStretch(1);
    scroller->setWidget(panels);
    column->addWidget(scroller, 1);
}

void FrmKlokken::SetSelected(int newCount, int newIndex)
{
    clock::ClockTable &table = m_program.clockTable;
    newCount = std::clamp(newCount, 0, MaxHits);
    m_hitCount = newCount;
    {
        const QSignalBlocker blocker(m_tabClk);
        while (m_tabClk->count() > 0)
            m_tabClk->removeTab(0);
    }

    const int previous = table.SelectedLine;
    const bool choose = newIndex >= 1 && newIndex <= newCount;
    const int chosen = choose ? m_hits[static_cast<std::size_t>(newIndex - 1)] : 0;
    if (previous > 0 && previous != chosen) {
        table.SelectedLine = static_cast<qint16>(chosen);
        PaintAClock(previous - 1, Settled);
    }
    table.SelectedLine = static_cast<qint16>(chosen);
    if (chosen > 0)
        PaintAClock(chosen - 1, Settled);

    const QSignalBlocker blocker(m_tabClk);
    for (int k = 1; k <= MaxHits; ++k) {
        QWidget *panel = m_picFnc[static_cast<std::size_t>(k - 1)];
        if (k > newCount) {
            panel->hide();
            continue;
        }
        const int line = m_hits[static_cast<std::size_t>(k - 1)] - 1;
        m_tabClk->addTab(QString::number(k));
        PaintAClock(line, Settled);
        fillPanel(k - 1, line);
        highlightPanel(k - 1, k == newIndex);
        panel->show();
    }
    m_lastTab = choose ? newIndex - 1 : -1;
    if (choose)
        m_tabClk->setCurrentIndex(newIndex - 1);
}

std::pair<QString, QString> FrmKlokken::lineSummary(const clock::ClockLine &line) const
{
    return LineDescriber(m_presenter, m_program.names, m_program.strings).panelSummary(line);
}

QString FrmKlokken::markerToolTip(QPoint at) const
{
    const auto time = [](int minuteOfDay) {
        return QStringLiteral("%1:%2")
            .arg(minuteOfDay / 60, 2, 10, QLatin1Char('0'))
            .arg(minuteOfDay % 60, 2, 10, QLatin1Char('0'));
    };
    static constexpr int TableNameIds[] = {1003, 1005, 1006, 1007, 1004};
    QStringList lines;
    for (const int index : m_model.hitList(at)) {
        const clock::ClockLine &line = m_program.clockTable.Lines[std::size_t(index)];
        const auto [what, when] = lineSummary(line);
        QString text = what.simplified() + u'\n' + when.simplified();
        if (line.Table < clock::TableKindCount)
            text += QStringLiteral(" (%1)").arg(
                m_program.strings.GetResString(TableNameIds[line.Table]).trimmed());
        for (const WeekBand &band : m_model.bandsAt(at)) {
            if (band.line == index)
                text += u'\n' + m_program.strings.GetResString(BandTextId)
                                    .arg(band.stepMinutes)
                                    .arg(time(band.firstMinute), time(band.lastMinute))
                                    .arg(band.count);
        }
        lines.append(text);
    }
    return lines.join(QStringLiteral("\n\n"));
}

void FrmKlokken::fillPanel(int panel, int index)
{
    const clock::ClockLine *line = m_program.clockTable.line(index);
    if (!line)
        return;
    const std::size_t k = static_cast<std::size_t>(panel);
    const auto [what, when] = lineSummary(*line);
    m_lblFunctieA[k]->setText(what);
    m_lblFunctieB[k]->setText(when);
    m_lblFunctieA[k]->setToolTip(m_lblFunctieA[k]->text());

    const int picture = MarkerPicture(line->FunctionType, line->Level);
    m_imgFnc[k]->setDraw([this, picture](QPainter &painter, const QRect &area) {
        // The picture part of the marker, twice its size.
        painter.scale(area.width() / double(Pictures::MarkerPictureWidth) * 0.95,
                      area.width() / double(Pictures::MarkerPictureWidth) * 0.95);
        m_pictures.drawMarker(
            painter, picture,
            QRectF(0, 0, Pictures::MarkerPictureWidth, Pictures::MarkerPictureHeight));
    });
}

void FrmKlokken::highlightPanel(int panel, bool chosen)
{
    const std::size_t k = static_cast<std::size_t>(panel);
    QPalette colours = m_picFnc[k]->palette();
    colours.setColor(QPalette::Window, chosen ? QColor(0, 0, 128) : infoBackground());
    colours.setColor(QPalette::WindowText, chosen ? Qt::white : Qt::black);
    m_picFnc[k]->setPalette(colours);
    m_lblFunctieA[k]->setPalette(colours);
    m_lblFunctieB[k]->setPalette(colours);
}

void FrmKlokken::tabChosen(int index)
{
    if (index < 0 || index >= m_hitCount || index == m_lastTab)
        return;
    if (m_lastTab >= 0)
        highlightPanel(m_lastTab, false);
    highlightPanel(index, true);
    clock::ClockTable &table = m_program.clockTable;
    const int previous = table.SelectedLine;
    const int chosen = m_hits[static_cast<std::size_t>(index)];
    table.SelectedLine = static_cast<qint16>(chosen);
    if (previous > 0)
        PaintAClock(previous - 1, Settled);
    PaintAClock(chosen - 1, Settled);
    m_lastTab = index;
}

} // namespace quintara::ui
