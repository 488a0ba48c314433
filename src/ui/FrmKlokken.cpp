#include "ui/FrmKlokken.h"

#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "link/Kalvenor.h"
#include "link/QtSerialLine.h"
#include "link/Ticker.h"
#include "settings/FormTexts.h"
#include "settings/NameTables.h"
#include "settings/Settings.h"
#include "ui/FileDialogs.h"
#include "ui/FormTranslation.h"
#include "ui/FrmClkEdit.h"
#include "ui/KlokControl.h"
#include "ui/Program.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace quintara::ui {

namespace {

constexpr int RowPitch = 70;
constexpr int LastColumn = 96; // quarter hours; the last one means 23:59
constexpr QSize WeekCanvas{520, 504};
constexpr int CaptionWidth = 80;
constexpr int SidePanelWidth = 260;
constexpr int ReceivedProjectId = 2104;
constexpr int BandTextId = 2110;

// The toolbar: key, caption id (texts come from the form texts), picture.
struct ToolbarButton {
    const char *key;
    const char *picture;
};
constexpr ToolbarButton ToolbarButtons[] = {
    {"", nullptr},              // 0 unused
    {"NEW", "tlb_new"},         // 1
    {"RCV", "tlb_receive"},     // 2
    {"SEND", "tlb_transmit"},   // 3
    {"OPEN", "tlb_open"},       // 4
    {"SAVE", "tlb_save"},       // 5
    {"PRINT", "tlb_print"},     // 6
    {"", nullptr},              // 7 separator
    {"LST_CONT", "tlb_table0"}, // 8..12: the table filters
    {"LST_WORKD", "tlb_table1"},
    {"LST_WKEND", "tlb_table2"},
    {"LST_SIMU", "tlb_table3"},
    {"LST_SPEC", "tlb_table4"},
};

int RowOf(const WeekMarker &marker)
{
    return (marker.y - 40) / RowPitch;
}

QColor infoBackground()
{
    return QApplication::palette().color(QPalette::ToolTipBase);
}

} // namespace

// The window's own surface: it carries every control in its layouts; a click beside them beeps.
class FrmKlokken::Surface : public QWidget {
public:
    Surface(FrmKlokken &owner, QWidget *parent) : QWidget(parent), m_owner(owner) {}

protected:
    void mousePressEvent(QMouseEvent *) override { m_owner.m_program.prompter.beep(); }

private:
    FrmKlokken &m_owner;
};

// The week area `Pic`: it holds the day backgrounds, hour labels and markers, and takes the
// mouse for all of them.
class FrmKlokken::WeekArea : public QWidget {
public:
    WeekArea(FrmKlokken &owner, QWidget *parent) : QWidget(parent), m_owner(owner) {}

protected:
    // The week's logical canvas; the widget maps it onto whatever size it gets.
    QSize sizeHint() const override { return WeekCanvas; }
    QSize minimumSizeHint() const override { return WeekCanvas * 0.7; }

protected:
    void resizeEvent(QResizeEvent *) override { m_owner.layoutWeek(); }
    void mousePressEvent(QMouseEvent *event) override
    {
        m_owner.weekMousePress(event->button(), m_owner.toLogical(event->position()),
                               event->globalPosition().toPoint());
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        m_owner.weekMouseMove(event->buttons(), m_owner.toLogical(event->position()));
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        m_owner.weekMouseRelease(m_owner.toLogical(event->position()));
    }
    void mouseDoubleClickEvent(QMouseEvent *) override { m_owner.weekDoubleClick(); }
    // The wheel turns the weeks, a notch a week.
    void wheelEvent(QWheelEvent *event) override
    {
        m_wheel += event->angleDelta().y();
        const int notches = m_wheel / QWheelEvent::DefaultDeltasPerStep;
        m_wheel -= notches * QWheelEvent::DefaultDeltasPerStep;
        if (notches != 0)
            m_owner.showWeek(m_owner.m_scrWeeks->value() - notches);
        event->accept();
    }
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip) {
            auto *help = static_cast<QHelpEvent *>(event);
            const QString text = m_owner.markerToolTip(m_owner.toLogical(help->pos()));
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), text, this);
            return true;
        }
        return QWidget::event(event);
    }
    // Tab and Backtab go from marker to marker here; Ctrl+Tab leaves the week.
    bool focusNextPrevChild(bool) override { return false; }
    void keyPressEvent(QKeyEvent *event) override
    {
        if (m_owner.weekKey(event->key(), event->modifiers())) {
            event->accept();
            return;
        }
        QScrollBar *weeks = m_owner.m_scrWeeks;
        switch (event->key()) {
        case Qt::Key_PageUp:
            m_owner.showWeek(weeks->value() - 1);
            break;
        case Qt::Key_PageDown:
            m_owner.showWeek(weeks->value() + 1);
            break;
        case Qt::Key_Home:
            m_owner.showWeek(0);
            break;
        default:
            QWidget::keyPressEvent(event);
        }
    }

private:
    FrmKlokken &m_owner;
    int m_wheel = 0; // what a fine-grained wheel turned short of a notch
};

// A picture of the window's image lists, drawn by a function.
class FrmKlokken::PictureBox : public QWidget {
public:
    using Draw = std::function<void(QPainter &, const QRect &)>;
    PictureBox(QWidget *parent, Draw draw) : QWidget(parent), m_draw(std::move(draw))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setDraw(Draw draw)
    {
        m_draw = std::move(draw);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (m_draw)
            m_draw(painter, rect());
    }

private:
    Draw m_draw;
};

FrmKlokken::FrmKlokken(Program &program, FileDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_program(program), m_dialogs(dialogs), m_values(program.strings),
      m_presenter(program.project, program.names, program.strings, m_values)
{
    setObjectName(QStringLiteral("FrmKlokken"));
    editLine = [this](int editMode) {
        if (!FrmClkEdit::Edit(m_program, editMode, this))
            return false;
        // The edited line's day table must be on show, or the line would vanish from the week.
        if (const auto index = m_program.clockTable.selectedIndex()) {
            const int table = m_program.clockTable.Lines[static_cast<std::size_t>(*index)].Table;
            if (table < clock::TableKindCount)
                m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->setChecked(true);
        }
        return true;
    };
    onTest = [this] { runOnlineTest(); };

    m_surface = new Surface(*this, this);
    m_surface->setObjectName(QStringLiteral("Frame"));
    setCentralWidget(m_surface);

    // The load steps, in their order.
    m_firstShownDay = clock::MondayOf(m_program.clock.now().date());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_program.pump.processEvents();
    buildMenus();
    buildToolbar();
    m_program.names = settings::FillNameTables(m_program.strings);
    m_namesLanguage = m_program.strings.LanguageOffset();
    m_qtLanguage.apply(m_namesLanguage / settings::LanguageStep);
    buildWeekArea();
    buildSidePanel();
    buildLegend();
    layOut();
    translate();
    m_program.pump.processEvents();
    for (int table = 0; table < clock::TableKindCount; ++table)
        m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->setChecked(true);
    PlaceDayBackgrounds();
    SetSelected(0, 0);
    QApplication::restoreOverrideCursor();

    m_globalTimer = new QTimer(this);
    m_globalTimer->setObjectName(QStringLiteral("GlobalTimer"));
    connect(m_globalTimer, &QTimer::timeout, this, &FrmKlokken::RefreshStatus);
    m_globalTimer->start(500);
    RefreshStatus();

    fitToScreen();
}

FrmKlokken::~FrmKlokken() = default;

void FrmKlokken::layOut()
{
    auto *column = new QVBoxLayout(m_surface);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_tlb);
    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(0, 6, 8, 4);
    middle->setSpacing(0);
    middle->addWidget(m_captions);
    middle->addWidget(m_pic, 1);
    middle->addWidget(m_scrWeeks);
    middle->addSpacing(12);
    middle->addWidget(m_side);
    column->addLayout(middle, 1);
    column->addWidget(m_legend);
}

void FrmKlokken::fitToScreen()
{
    // The size the layouts ask for, held to the screen's free area; then where it was last left.
    resize(sizeHint());
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        // Room for the title bar and the frame, which the window manager adds.
        resize(size().boundedTo(area.size() - QSize(16, 48)));
    }
    CentreForm(*this);
    const QByteArray stored = QByteArray::fromBase64(
        m_program.profile
            .readString(QStringLiteral("Quintara"), QStringLiteral("Geometry"), QString(), 1000)
            .toLatin1());
    if (!stored.isEmpty())
        restoreGeometry(stored);
}

QPointF FrmKlokken::toWidget(QPointF logical) const
{
    return QPointF(logical.x() * m_pic->width() / WeekCanvas.width(),
                   logical.y() * m_pic->height() / WeekCanvas.height());
}

QPoint FrmKlokken::toLogical(QPointF widget) const
{
    return QPoint(qRound(widget.x() * WeekCanvas.width() / std::max(1, m_pic->width())),
                  qRound(widget.y() * WeekCanvas.height() / std::max(1, m_pic->height())));
}

void FrmKlokken::layoutWeek()
{
    for (int row = 0; row < 7; ++row) {
        m_imgDay[std::size_t(row)]->setGeometry(
            QRectF(toWidget(QPointF(0, 15 + RowPitch * row)),
                   toWidget(QPointF(WeekCanvas.width(), 65 + RowPitch * row)))
                .toRect());
        for (int k = 0; k < 5; ++k) {
            const QPoint at = toWidget(QPointF(120 * k + 20, 55 + RowPitch * row)).toPoint();
            m_hourLabels[std::size_t(row * 5 + k)]->move(at.x() - 20, at.y());
        }
    }
    placeMarkers();
    m_captions->update();
}

void FrmKlokken::buildMenus()
{
    auto menu = [this](QMenu *parent, const char *name) {
        QMenu *m = parent ? parent->addMenu(QString()) : menuBar()->addMenu(QString());
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [this](QMenu *parent, const QString &name, auto handler) {
        QAction *action = parent->addAction(QString());
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto named = [](const char *name) { return QString::fromLatin1(name); };

    QMenu *file = menu(nullptr, "mmuFile");
    item(file, named("mmuFileOpenNBT"), [this] { ReadProject(); });
    file->addSeparator();
    item(file, named("mmuFileNew"), [this] { NewTable(); })->setShortcut(QKeySequence::New);
    item(file, named("mmuFileOpenCLK"), [this] {
        OpenClockFile();
    })->setShortcut(QKeySequence::Open);
    item(file, named("mmuFileSave"), [this] { Save(); })->setShortcut(QKeySequence::Save);
    item(file, named("mmuFileSaveAs"), [this] { SaveAs(); })->setShortcut(QKeySequence::SaveAs);
    file->addSeparator();
    item(file, named("mmuClose"), [this] { close(); })->setShortcut(QKeySequence::Quit);

    m_mmuEdit = menu(nullptr, "mmuEdit");
    QMenu *editNew = menu(m_mmuEdit, "mmuEditNew");
    // The menu lists the tables in the order of their names, not of their numbers.
    for (int table = 0; table < clock::TableKindCount; ++table)
        item(editNew, QStringLiteral("mmuNieuw_%1").arg(table), [this, table] { AddLine(table); });
    QAction *edit = item(m_mmuEdit, named("mmuEditProp"), [this] { EditLine(); });
    edit->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    item(m_mmuEdit, named("mmuDelete"), [this] {
        DeleteLine();
    })->setShortcut(QKeySequence::Delete);

    m_mmuCom = menu(nullptr, "mmuCom");
    item(m_mmuCom, named("mmuComSend"), [this] { Transmit(); });
    item(m_mmuCom, named("mmuComGet"), [this] { Receive(); });

    QMenu *help = menu(nullptr, "mnuhelp");
    item(help, named("mnuHelpIndex"), [] {});
    item(help, named("mnuHelpAbout"), [this] { About(); });
}

void FrmKlokken::buildToolbar()
{
    m_tlb = new QToolBar(m_surface);
    m_tlb->setObjectName(QStringLiteral("Tlb"));
    m_tlb->setMovable(false);
    m_tlb->setFloatable(false);
    m_tlb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_tlb->setAttribute(Qt::WA_NoMousePropagation);
    m_tlb->setIconSize(QSize(16, 16));
    m_tlb->setContentsMargins(0, 0, 0, 0);
    QFont captions = m_tlb->font();
    captions.setPointSizeF(7.5);
    m_tlb->setFont(captions);
    m_tlb->setStyleSheet(QStringLiteral("QToolButton { padding: 0px 2px; }"));
    for (int index = 1; index <= 12; ++index) {
        const ToolbarButton &button = ToolbarButtons[index];
        if (!button.picture) {
            m_tlbButtons[static_cast<std::size_t>(index)] = m_tlb->addSeparator();
            continue;
        }
        QAction *action =
            m_tlb->addAction(Pictures::icon(QString::fromLatin1(button.picture)), QString());
        action->setObjectName(QStringLiteral("Tlb_%1").arg(index));
        const QString key = QString::fromLatin1(button.key);
        action->setData(key);
        action->setCheckable(index >= FirstFilterButton);
        connect(action, &QAction::triggered, this, [this, key] { toolbarClicked(key); });
        m_tlbButtons[static_cast<std::size_t>(index)] = action;
    }
}

void FrmKlokken::buildWeekArea()
{
    m_pic = new WeekArea(*this, m_surface);
    m_pic->setObjectName(QStringLiteral("Pic"));
    m_pic->setFocusPolicy(Qt::StrongFocus);
    m_pic->resize(WeekCanvas);

    for (int row = 0; row < 7; ++row) {
        auto *day = new PictureBox(m_pic, {});
        day->setObjectName(QStringLiteral("ImgDay_%1").arg(row));
        day->setGeometry(0, 15 + RowPitch * row, WeekCanvas.width(), 50);
        m_imgDay[static_cast<std::size_t>(row)] = day;
    }

    QFont hourFont = font();
    hourFont.setPointSizeF(7.5);
    for (int row = 0; row < 7; ++row) {
        for (int k = 0; k < 5; ++k) {
            auto *label = new QLabel(m_pic);
            label->setObjectName(QStringLiteral("LblTime_%1").arg(row * 5 + k));
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            label->setFont(hourFont);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            label->setGeometry(120 * k, 55 + RowPitch * row, 40, 14);
            m_hourLabels[std::size_t(row * 5 + k)] = label;
            label->setText(k < 4 ? QStringLiteral("%1:00").arg(6 * k, 2, 10, QLatin1Char('0'))
                                 : QStringLiteral("23:59"));
        }
    }

    const clock::ClockTable &table = m_program.clockTable;
    for (int i = 0; i < ReferenceMarkers; ++i) {
        auto *marker = new KlokControl(table, m_pictures, m_pic);
        marker->setObjectName(QStringLiteral("Klok_%1").arg(i));
        marker->setClkIndex(i);
        marker->hide();
        m_klok[static_cast<std::size_t>(i)] = marker;
    }
    for (int j = 1; j <= PoolSize; ++j) {
        auto *marker = new KlokControl(table, m_pictures, m_pic);
        marker->setObjectName(QStringLiteral("KlokR_%1").arg(j));
        marker->setClkIndex(KlokControl::FreeIndex);
        marker->hide();
        m_klokR[static_cast<std::size_t>(j)] = marker;
    }
    m_poolCounter = 0;

    m_nowLine = new QWidget(m_pic);
    m_nowLine->setObjectName(QStringLiteral("NowLine"));
    m_nowLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_nowLine->setAutoFillBackground(true);
    QPalette red = m_nowLine->palette();
    red.setColor(QPalette::Window, QColor(220, 0, 0));
    m_nowLine->setPalette(red);
    m_nowLine->hide();

    m_scrWeeks = new QScrollBar(Qt::Vertical, m_surface);
    m_scrWeeks->setObjectName(QStringLiteral("ScrWeeks"));

    // The day names beside the rows, at the rows' height however tall the week is drawn.
    m_captions = new PictureBox(
        m_surface, [this](QPainter &painter, const QRect &) { paintDayCaptions(painter); });
    m_captions->setObjectName(QStringLiteral("DayCaptions"));
    m_captions->setFixedWidth(CaptionWidth);
    // Ten years ahead; the value is a whole number of weeks from the current one.
    m_scrWeeks->setRange(0, 520);
    m_scrWeeks->setSingleStep(1);
    m_scrWeeks->setPageStep(4);
    connect(m_scrWeeks, &QScrollBar::valueChanged, this, [this] { ScrWeeks_Change(); });
}

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

void FrmKlokken::buildLegend()
{
    m_legend = new PictureBox(m_surface,
                              [this](QPainter &painter, const QRect &) { paintLegend(painter); });
    m_legend->setObjectName(QStringLiteral("Legend"));
    m_legend->setFixedHeight(22);
    m_legend->setMinimumWidth(0);
}

void FrmKlokken::translate()
{
    TranslateForm(*this, m_program.strings);
    m_mmuCom->setTitle(m_program.strings.GetResString(settings::CommunicationMenuText));
    // The captions of the filter buttons are short; the tool tips name the whole table.
    static constexpr int TableNameIds[] = {1003, 1005, 1006, 1007, 1004};
    for (int table = 0; table < clock::TableKindCount; ++table)
        m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->setToolTip(
            m_program.strings.GetResString(TableNameIds[table]));
    m_surface->update();
}

void FrmKlokken::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        translate();
    QMainWindow::changeEvent(event);
}

void FrmKlokken::closeEvent(QCloseEvent *event)
{
    if (m_program.clockTable.TableChanged) {
        switch (SaveChangesPrompt()) {
        case platform::Answer::Yes:
            Save();
            if (m_program.clockTable.TableChanged) {
                event->ignore();
                return;
            }
            break;
        case platform::Answer::No:
            break;
        default:
            event->ignore();
            return;
        }
    }
    settings::WriteSettings(m_program.profile, m_program.settings);
    settings::WriteClockSettings(m_program.profile, m_program.settings);
    // A section of our own: the sibling tool has no use for it.
    m_program.profile.writeString(QStringLiteral("Quintara"), QStringLiteral("Geometry"),
                                  QString::fromLatin1(saveGeometry().toBase64()));
    m_globalTimer->stop();
    event->accept();
}

void FrmKlokken::RefreshStatus()
{
    placeNowLine();
    const clock::ClockTable &table = m_program.clockTable;
    m_tlbButtons[5]->setEnabled(table.TableChanged);
    const QString title = QStringLiteral("Quintara - ") + table.ClockFileName;
    if (windowTitle() != title)
        setWindowTitle(title);
    m_lblProject[0]->setText(m_program.strings.GetResString(1008) + u':');
    const QString &path = m_program.settings.nbtFile;
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    m_lblProject[1]->setText(m_receivedProject ? m_program.strings.GetResString(ReceivedProjectId)
                                               : path.mid(slash + 1));
}

void FrmKlokken::PlaceDayBackgrounds()
{
    const auto flags = m_program.project.WorkdayFlags();
    for (std::size_t row = 0; row < m_imgDay.size(); ++row) {
        const Pictures::Day day =
            flags[row] == 1 ? Pictures::Day::Workday : Pictures::Day::NonWorkday;
        m_imgDay[row]->setDraw([this, day](QPainter &painter, const QRect &area) {
            m_pictures.drawDay(painter, day, area);
        });
    }
}

void FrmKlokken::paintDayCaptions(QPainter &painter)
{
    QFont captionFont = font();
    captionFont.setPointSize(10);
    // The longest day name must end before the week area begins.
    const int room = CaptionWidth - 7;
    QFontMetrics metrics(captionFont);
    int widest = 0;
    for (int row = 0; row < 7; ++row)
        widest = std::max(widest, metrics.horizontalAdvance(QLocale().toString(
                                      m_firstShownDay.addDays(row), QStringLiteral("dddd:"))));
    if (widest > room) {
        captionFont.setStretch(std::max(60, 100 * room / widest));
        metrics = QFontMetrics(captionFont);
    }
    painter.setFont(captionFont);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int row = 0; row < 7; ++row) {
        const QDate date = m_firstShownDay.addDays(row);
        const int top =
            qRound(toWidget(QPointF(0, 20 + RowPitch * row)).y()) + m_pic->y() - m_captions->y();
        painter.drawText(QPoint(5, top + metrics.ascent()),
                         QLocale().toString(date, QStringLiteral("dddd:")));
        painter.drawText(QPoint(5, top + metrics.height() + metrics.ascent()),
                         date.toString(QStringLiteral("dd-MM-yyyy")));
    }
}

void FrmKlokken::paintLegend(QPainter &painter)
{
    // The picture part of each marker, above its triangles, and its caption.
    painter.setRenderHint(QPainter::Antialiasing);
    for (int k = 1; k <= Pictures::MarkerPictureCount; ++k) {
        painter.save();
        painter.translate(90 * k - 80, 0);
        painter.setClipRect(0, 0, Pictures::MarkerPictureWidth, 16);
        m_pictures.drawMarker(
            painter, k, QRectF(0, 0, Pictures::MarkerPictureWidth, Pictures::MarkerPictureHeight));
        painter.restore();
    }
    QFont legendFont = font();
    legendFont.setPointSize(6);
    painter.setFont(legendFont);
    const QFontMetrics legendMetrics(legendFont);
    const settings::NameTables &names = m_program.names;
    const QString captions[] = {
        QStringLiteral("Aan"),      QStringLiteral("Uit"),
        names.functionTypeName(51), names.functionTypeName(54).left(9),
        names.functionTypeName(66), names.functionTypeName(65).left(7),
        names.functionTypeName(26), names.functionTypeName(25),
        names.functionTypeName(24),
    };
    for (int k = 1; k <= 9; ++k)
        painter.drawText(QPoint(90 * k - 67, 5 + legendMetrics.ascent()), captions[k - 1]);
}

void FrmKlokken::showWeek(int week)
{
    // The scroll bar holds the weeks shown; its change handler repaints.
    m_scrWeeks->setValue(std::clamp(week, m_scrWeeks->minimum(), m_scrWeeks->maximum()));
}

KlokControl *FrmKlokken::Klok(int index) const
{
    return index >= 0 && index < ReferenceMarkers ? m_klok[static_cast<std::size_t>(index)]
                                                  : nullptr;
}

KlokControl *FrmKlokken::KlokR(int index) const
{
    return index >= 1 && index <= PoolSize ? m_klokR[static_cast<std::size_t>(index)] : nullptr;
}

QAction *FrmKlokken::toolbarButton(int index) const
{
    return index >= 1 && index <= 12 ? m_tlbButtons[static_cast<std::size_t>(index)] : nullptr;
}

// --- Week view ---------------------------------------------------------------------------

bool FrmKlokken::tableShown(int table) const
{
    // A table number no editor makes (from a file or the central unit) has no filter button.
    if (table < 0 || table >= clock::TableKindCount)
        return true;
    return m_tlbButtons[static_cast<std::size_t>(FirstFilterButton + table)]->isChecked();
}

void FrmKlokken::ScrWeeks_Change()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    clock::ClockTable &table = m_program.clockTable;
    const QDate today = m_program.clock.now().date();
    clock::CheckDates(table, clock::MondayOf(today));
    m_firstShownDay = clock::MondayOf(today).addDays(7 * qint64(m_scrWeeks->value()));
    m_captions->update();
    placeMarkers();
    QApplication::restoreOverrideCursor();
}

void FrmKlokken::PaintAClock(int, int)
{
    // The pool is handed out in line order, so any change places every marker anew; that costs
    // a fraction of a millisecond.
    placeMarkers();
}

void FrmKlokken::placeMarkers()
{
    std::array<bool, clock::TableKindCount> shown{};
    for (int t = 0; t < clock::TableKindCount; ++t)
        shown[std::size_t(t)] = tableShown(t);
    m_model.build(m_program.clockTable, m_firstShownDay, m_program.project.WorkdayFlags(), shown);

    // Every reference marker, not only those below MaxClockLines: a smaller model may just
    // have been selected.
    for (KlokControl *marker : m_klok)
        marker->hide();
    for (int j = 1; j <= PoolSize; ++j) {
        KlokControl *marker = m_klokR[static_cast<std::size_t>(j)];
        marker->hide();
        marker->setClkIndex(KlokControl::FreeIndex);
    }
    // Bands first: the markers are raised over them as they are placed.
    const std::vector<WeekBand> &bands = m_model.bands();
    while (m_bands.size() < bands.size()) {
        auto *band = new PictureBox(m_pic, {});
        band->setObjectName(QStringLiteral("Band_%1").arg(m_bands.size()));
        m_bands.push_back(band);
    }
    for (std::size_t k = 0; k < m_bands.size(); ++k) {
        PictureBox *widget = m_bands[k];
        if (k >= bands.size()) {
            widget->hide();
            continue;
        }
        const WeekBand &band = bands[k];
        const QColor colour = TableColour(m_program.clockTable.Lines[std::size_t(band.line)].Table);
        const QPoint from = toWidget(QPointF(band.fromX, band.y)).toPoint();
        const QPoint to = toWidget(QPointF(band.toX, band.y)).toPoint();
        widget->setGeometry(from.x(), from.y() - 3, to.x() - from.x() + 1, 6);
        // Plain rectangles: a week of dense series is a hundred bands across the screen.
        widget->setDraw([colour](QPainter &painter, const QRect &area) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.fillRect(area, colour == Qt::black ? QColor(Qt::black) : colour.darker(160));
            painter.fillRect(area.adjusted(1, 1, -1, -1),
                             colour == Qt::black ? QColor(110, 110, 110) : colour.lighter(130));
        });
        widget->show();
        widget->raise();
    }
    placeNowLine();

    int pool = 0;
    for (const WeekMarker &placed : m_model.markers()) {
        KlokControl *marker =
            placed.reference ? m_klok[std::size_t(placed.line)] : m_klokR[std::size_t(++pool)];
        if (!placed.reference)
            marker->setClkIndex(-2 - placed.line);
        marker->move(toWidget(QPointF(placed.x, placed.y)).toPoint() -
                     QPoint(KlokControl::ReferenceX, KlokControl::ReferenceY));
        marker->setClkCount(placed.stack);
        marker->show();
        marker->raise(); // the one placed last on a spot is on top, with the number
        marker->Refresh();
    }
    m_poolCounter = pool;
}

int FrmKlokken::CheckCoord(int x, int y)
{
    // Only markers on show can be hit: a hidden day-table or an occurrence beyond the drawn
    // markers must not be picked up (and dragged) unseen.
    m_hits.fill(0);
    const std::vector<int> lines = m_model.hitList(QPoint(x, y));
    for (std::size_t k = 0; k < lines.size(); ++k)
        m_hits[k] = lines[k] + 1;
    return static_cast<int>(lines.size());
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
    const QString what = m_presenter.DescribeFunction(line.FunctionType, line.FunctionNumber,
                                                      DescribeMode::CodeNumber, false) +
                         u' ' + m_values.LevelText(ValueKind::Level, line.Level, line.FunctionType);
    QString when = clock::ReferenceDateTime(line).toString(QStringLiteral("dd/MM hh:mm"));
    const QString unit = m_program.names.repeatName(line.RepeatUnit);
    if (line.RepeatUnit == clock::Once)
        when += u' ' + unit;
    else
        when += QStringLiteral(" Elke %1 ").arg(line.RepeatCount) + unit;
    return {what, when};
}

void FrmKlokken::placeNowLine()
{
    const QDateTime now = m_program.clock.now();
    const qint64 row = m_firstShownDay.daysTo(now.date());
    if (row < 0 || row > 6) {
        m_nowLine->hide();
        return;
    }
    const QPoint at = toWidget(QPointF(clock::OccurrenceX(now.time().hour(), now.time().minute()),
                                       clock::OccurrenceY(int(row))))
                          .toPoint();
    const int half = qRound(toWidget(QPointF(0, 25)).y());
    m_nowLine->setGeometry(at.x() - 1, at.y() - half, 2, 2 * half);
    m_nowLine->show();
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

void FrmKlokken::weekMousePress(Qt::MouseButton button, QPoint pos, QPoint globalPos)
{
    m_lastMouse = pos;
    m_pressPos = pos;
    m_dragStarted = false;
    if (const auto target = WeekViewModel::dragTarget(pos))
        m_focusRow = target->row;
    const int count = CheckCoord(pos.x(), pos.y());
    if (count == 0)
        return;
    SetSelected(count, 1);
    if (button == Qt::LeftButton && m_model.markerOfLineAt(m_hits[0] - 1, pos))
        m_dragIndex = m_hits[0];
    else if (button == Qt::RightButton)
        m_mmuEdit->popup(globalPos);
}

void FrmKlokken::weekMouseMove(Qt::MouseButtons buttons, QPoint pos)
{
    if (!(buttons & Qt::LeftButton) || m_dragIndex == 0 || !WeekViewModel::dragTarget(pos))
        return;
    // A hand's tremor on a click is no move.
    if (!m_dragStarted && (pos - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragStarted = true;
    if (const auto target = WeekViewModel::dragTarget(pos))
        moveLine(m_dragIndex - 1, target->column, target->row);
}

void FrmKlokken::moveLine(int index, int column, int row)
{
    clock::ClockTable &table = m_program.clockTable;
    clock::ClockLine *line = table.line(index);
    if (!line)
        return;
    if (column == LastColumn) {
        line->Hour = 23;
        line->Minute = 59;
    } else {
        line->Hour = static_cast<quint8>(column / 4);
        line->Minute = static_cast<quint8>((column % 4) * 15);
    }
    if (line->Table != clock::Workday && line->Table != clock::Weekend) {
        const QDate today = m_program.clock.now().date();
        const clock::Moment day = clock::Moment::fromDate(m_firstShownDay.addDays(row));
        const clock::Moment kept =
            clock::PushBack(day, clock::WalkStep(*line), clock::CurrentMonday(today));
        clock::SetReferenceDate(*line, kept.date());
    }
    table.TableChanged = true;
    PaintAClock(index, Dragging);
}

void FrmKlokken::weekMouseRelease(QPoint pos)
{
    if (m_dragIndex > 0)
        PaintAClock(m_dragIndex - 1, Settled);
    m_lastMouse = pos;
    const int count = CheckCoord(pos.x(), pos.y());
    if (count > 0)
        SetSelected(count, 1);
    m_dragIndex = 0;
}

bool FrmKlokken::weekKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    const auto selected = m_program.clockTable.selectedIndex();
    if (shift && selected) {
        // The same rules as a drag: the quarter-hour grid, and a day further moves the date.
        const clock::ClockLine &line = m_program.clockTable.Lines[std::size_t(*selected)];
        int column = line.Hour * 4 + line.Minute / 15;
        int row = m_focusRow;
        switch (key) {
        case Qt::Key_Left:
            column = std::max(0, column - (line.Minute % 15 == 0 ? 1 : 0));
            break;
        case Qt::Key_Right:
            column = std::min(LastColumn, column + 1);
            break;
        case Qt::Key_Up:
            row = std::max(0, row - 1);
            break;
        case Qt::Key_Down:
            row = std::min(6, row + 1);
            break;
        default:
            return false;
        }
        moveLine(*selected, column, row);
        m_focusRow = row;
        selectMarkerOf(*selected, row);
        return true;
    }
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Tab || key == Qt::Key_Down;
    const bool backward = key == Qt::Key_Left || key == Qt::Key_Backtab || key == Qt::Key_Up;
    if (!forward && !backward)
        return false;
    // The markers in reading order: row by row, left to right.
    std::vector<WeekMarker> order = m_model.markers();
    if (order.empty())
        return true;
    std::stable_sort(order.begin(), order.end(), [](const WeekMarker &a, const WeekMarker &b) {
        return std::tie(a.y, a.x, a.line) < std::tie(b.y, b.x, b.line);
    });
    auto current = std::find_if(order.begin(), order.end(), [&](const WeekMarker &m) {
        return selected && m.line == *selected && RowOf(m) == m_focusRow;
    });
    const bool rows = key == Qt::Key_Up || key == Qt::Key_Down;
    const WeekMarker *next = nullptr;
    if (current == order.end()) {
        next = forward ? &order.front() : &order.back();
    } else if (rows) {
        // The nearest marker in the next row above or below that has one.
        for (int y = current->y + (forward ? RowPitch : -RowPitch);
             !next && y >= 0 && y < 7 * RowPitch + 40; y += forward ? RowPitch : -RowPitch) {
            for (const WeekMarker &m : order) {
                if (m.y == y &&
                    (!next || std::abs(m.x - current->x) < std::abs(next->x - current->x)))
                    next = &m;
            }
        }
    } else {
        auto it = current;
        // Markers stacked on one spot count as one stop.
        do {
            if (forward)
                it = it + 1 == order.end() ? order.begin() : it + 1;
            else
                it = it == order.begin() ? order.end() - 1 : it - 1;
        } while (it != current && it->x == current->x && it->y == current->y);
        next = &*it;
    }
    if (!next)
        return true;
    m_focusRow = RowOf(*next);
    selectMarkerOf(next->line, m_focusRow, QPoint(next->x, next->y));
    return true;
}

void FrmKlokken::selectMarkerOf(int line, int row, std::optional<QPoint> at)
{
    if (!at) {
        for (const WeekMarker &m : m_model.markers()) {
            if (m.line == line && RowOf(m) == row) {
                at = QPoint(m.x, m.y);
                break;
            }
        }
    }
    if (!at) {
        SetSelected(0, 0);
        return;
    }
    const int count = CheckCoord(at->x(), at->y());
    for (int k = 0; k < count; ++k) {
        if (m_hits[std::size_t(k)] == line + 1) {
            SetSelected(count, k + 1);
            return;
        }
    }
}

void FrmKlokken::weekDoubleClick()
{
    if (m_program.clockTable.SelectedLine > 0)
        EditLine();
}

void FrmKlokken::toolbarClicked(const QString &key)
{
    if (key == u"NEW")
        NewTable();
    else if (key == u"RCV")
        Receive();
    else if (key == u"SEND")
        Transmit();
    else if (key == u"OPEN")
        OpenClockFile();
    else if (key == u"SAVE")
        Save();
    else
        ScrWeeks_Change();
}

} // namespace quintara::ui
