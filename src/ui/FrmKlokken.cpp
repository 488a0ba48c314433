#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"
#include "ui/BatchWindow.h"
#include "ui/SitesWindow.h"
#include "ui/HolidayPlanDialog.h"
#include "ui/SimulationPlanDialog.h"
#include "book/LinkWork.h"
#include "presentation/SiteHealth.h"
#include "project/ProjectFileReader.h"
#include <QProgressDialog>

#include <QFileInfo>

#include "clock/ClockFile.h"
#include "clock/ClockTable.h"
#include "clock/Occurrences.h"
#include "clock/TableDiff.h"
#include "project/ProjectModel.h"
#include "render/WeekPainter.h"
#include "settings/FormTexts.h"
#include "settings/NameTables.h"
#include "settings/Settings.h"
#include "settings/TextIds.h"
#include "ui/AgendaView.h"
#include "ui/Exports.h"
#include "ui/FileCommands.h"
#include "ui/FileDialogs.h"
#include "ui/FormTranslation.h"
#include "ui/FrmClkEdit.h"
#include "ui/InfoPanel.h"
#include "ui/LineCommands.h"
#include "ui/LineListView.h"
#include "ui/Mnemonics.h"
#include "ui/PictureBox.h"
#include "ui/Program.h"
#include "ui/WeekInput.h"
#include "ui/WeekView.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QVersionNumber>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace quintara::ui {

using namespace klokken;

namespace {
// How long "Written to ..." stays in the status bar.
constexpr int WrittenMessageMs = 15000;
} // namespace

FrmKlokken::FrmKlokken(Program &program, FileDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), m_program(program), m_dialogs(dialogs), m_values(program.strings),
      m_presenter(program.project, program.names, program.strings, m_values),
      m_history(program.clockTable),
      m_describer(m_presenter, program.names, program.strings, program.clock),
      m_lineModel(program.clockTable, m_describer), m_agendaModel(program.clockTable, m_describer)
{
    m_history.onRestored = [this] { historyRestored(); };
    setObjectName(QStringLiteral("FrmKlokken"));
    composeParts();

    m_surface = new Surface(*this, this);
    m_surface->setObjectName(QStringLiteral("Frame"));
    setCentralWidget(m_surface);

    // The load steps, in their order.
    m_firstShownDay = clock::MondayOf(m_program.clock.now().date());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_program.pump.processEvents();
    buildViews();
    m_menus = std::make_unique<WindowMenus>(
        *this, *m_surface, m_program,
        WindowMenus::Parts{*m_files, *m_lines, *m_exports, *m_lineViews, m_history});
    m_menus->filtersChanged = [this] { ScrWeeks_Change(); };
    m_menus->selectLine = [this](int line) { selectLine(line); };
    m_menus->compare = [this] {
        if (onCompare)
            onCompare();
    };
    m_menus->sites = [this] { showSites(); };
    m_menus->planHolidays = [this] { planHolidays(); };
    m_menus->planSimulation = [this] { planSimulation(); };
    m_menus->chooseLocation = [this] { m_sun->ChooseLocation(); };
    m_menus->retimeToSun = [this] { m_sun->RetimeToSun(); };
    m_program.names = settings::FillNameTables(m_program.strings);
    m_namesLanguage = m_program.strings.LanguageOffset();
    m_qtLanguage.apply(m_namesLanguage / settings::LanguageStep);
    buildWeekArea();
    m_input = std::make_unique<WeekInput>(m_program, m_history, m_model, *m_pic, m_firstShownDay);
    m_input->repaint = [this] { placeMarkers(); };
    m_input->selectionShown = [this](const QList<int> &lines, int chosen) {
        showSelection(lines, chosen);
        m_pic->setFocusMarker(m_input->focusedMarker());
    };
    m_input->contextMenu = [this](QPoint at) { m_menus->editMenu()->popup(at); };
    m_input->edit = [this] { m_lines->EditLine(); };
    buildSidePanel();
    buildLegend();
    layOut();
    m_lineViews->agenda()->sun = [this] { return m_sun->agendaSun(); };
    translate();
    m_program.pump.processEvents();
    for (int table = 0; table < clock::TableKindCount; ++table)
        m_menus->showTable(table);
    PlaceDayBackgrounds();
    m_input->clearSelection();
    QApplication::restoreOverrideCursor();

    m_globalTimer = new QTimer(this);
    m_globalTimer->setObjectName(QStringLiteral("GlobalTimer"));
    connect(m_globalTimer, &QTimer::timeout, this, &FrmKlokken::RefreshStatus);
    m_globalTimer->start(500);
    RefreshStatus();

    fitToScreen();
}

FrmKlokken::~FrmKlokken() = default;

void FrmKlokken::composeParts()
{
    m_files = std::make_unique<FileCommands>(m_program, m_dialogs, m_history, m_presenter, this);
    m_files->tableReplaced = [this] { tableReplaced(); };
    m_files->projectApplied = [this] { applyProject(); };
    m_files->workdaysChanged = [this] { PlaceDayBackgrounds(); };
    m_files->selectionLost = [this] { m_input->clearSelection(); };
    m_files->onTransmit = [this] {
        if (onTransmit)
            onTransmit();
    };
    m_files->onReceive = [this] {
        if (onReceive)
            onReceive();
    };

    m_lines = std::make_unique<LineCommands>(m_program, m_history, m_presenter, m_lineModel);
    m_lines->editLine = [this](int editMode) {
        if (!FrmClkEdit::Edit(m_program, editMode, this))
            return false;
        // The edited line's day table must be on show, or the line would vanish from the week.
        if (const auto index = m_program.clockTable.selectedIndex()) {
            const int table = m_program.clockTable.Lines[static_cast<std::size_t>(*index)].Table;
            m_menus->showTable(table);
        }
        return true;
    };
    m_lines->tableChanged = [this] { ScrWeeks_Change(); };
    m_lines->bringIntoView = [this](int line) { bringIntoView(line); };
    m_lines->selectLine = [this](int line) { selectLine(line); };
    m_lines->selectOnly = [this](int line) { m_input->selectOnly(line); };
    m_lines->reselect = [this] { m_input->reselect(); };
    m_lines->clearSelection = [this] { m_input->clearSelection(); };
    m_lines->chosenLines = [this] { return m_lineViews->chosenLines(); };

    m_exports = std::make_unique<Exports>(m_program, *m_files, m_describer, m_lineModel,
                                          m_agendaModel, m_model, m_firstShownDay, this);
    m_exports->refreshTables = [this] { m_lineViews->refreshForPrint(); };
    m_exports->agendaDates = [this] { return m_lineViews->agenda()->dates(); };
    m_exports->weekNights = [this] { return m_pic->nights(); };
    // The status bar shows only while it has something to say: the week keeps its room.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->hide();
    connect(statusBar(), &QStatusBar::messageChanged, this,
            [this](const QString &message) { statusBar()->setVisible(!message.isEmpty()); });
    m_exports->written = [this](const QString &where) {
        statusBar()->showMessage(where, WrittenMessageMs);
    };

    m_sun = std::make_unique<SunCommands>(m_program, m_history, m_describer, this);
    m_sun->chosenLines = [this] { return m_lineViews->chosenLines(); };
    m_sun->siteInEditor = [this] { return m_files->siteInEditor(); };
    m_sun->tableChanged = [this] { ScrWeeks_Change(); };
    m_sun->locationChanged = [this] {
        placeMarkers();
        m_lineViews->agenda()->refresh();
    };
}

void FrmKlokken::layOut()
{
    auto *column = new QVBoxLayout(m_surface);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_menus->toolbar());
    // The week is the first of the views; the list of lines and the agenda are tabs beside it.
    auto *weekPage = new Surface(*this, m_surface);
    weekPage->setObjectName(QStringLiteral("WeekPage"));
    auto *week = new QHBoxLayout(weekPage);
    week->setContentsMargins(0, 4, 0, 0);
    week->setSpacing(0);
    week->addWidget(m_captions);
    week->addWidget(m_pic, 1);
    week->addWidget(m_scrWeeks);
    m_lineViews->addWeek(weekPage);
    auto *middle = new QHBoxLayout;
    middle->setContentsMargins(0, 6, 8, 4);
    middle->setSpacing(0);
    auto *views = new QVBoxLayout;
    views->setSpacing(0);
    views->addWidget(m_lineViews->tabs());
    views->addWidget(m_lineViews->stack(), 1);
    middle->addLayout(views, 1);
    middle->addSpacing(12);
    middle->addWidget(m_panel);
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

void FrmKlokken::buildLegend()
{
    // Laid out anew for each width and language: its captions wrap rather than being cut.
    constexpr int margin = 10;
    const auto layOut = [this](int width) {
        return render::WeekPainter::LayOutLegend(
            render::WeekPainter::LegendCaptions(m_program.names, m_program.strings),
            QFontMetricsF(m_legend->font(), m_legend), width - 2 * margin);
    };
    m_legend = new PictureBox(m_surface, [this, layOut](QPainter &painter, const QRect &box) {
        render::WeekPainter(m_pictures)
            .paintLegend(painter, QPointF(margin, 3), layOut(box.width()), m_legend->font());
    });
    m_legend->setObjectName(QStringLiteral("Legend"));
    m_legend->setHeightForWidth(
        [layOut](int width) { return int(std::ceil(layOut(width).size.height())) + 6; },
        [layOut] { return int(std::ceil(layOut(QWIDGETSIZE_MAX).size.width())) + 2 * margin; });
    m_legend->setMinimumWidth(0);
}

void FrmKlokken::translate()
{
    TranslateForm(*this, m_program.strings);
    m_menus->translate();
    m_lineViews->translate();
    m_legend->updateGeometry(); // its captions' lengths changed
    AssignMnemonics(*this); // the tabs have their texts only now
    m_pic->setAccessibleName(m_program.strings.GetResString(settings::TextId::Print::WeekTitle));
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
        switch (m_files->SaveChangesPrompt()) {
        case platform::Answer::Yes:
            m_files->Save();
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

namespace {

QString NamedBook(const settings::ProfileFile &profile)
{
    return profile.readString(QStringLiteral("Quintara"), QStringLiteral("Book"), QString(), 1024);
}

} // namespace

bool FrmKlokken::hasSiteBook() const
{
    return !NamedBook(m_program.profile).isEmpty() ||
           QFileInfo::exists(book::DefaultBookLocation().path);
}

bool FrmKlokken::showSites()
{
    if (!m_program.book) {
        // A book named in the settings (a team's server), else the user's own file.
        book::BookLocation location = book::DefaultBookLocation();
        if (const QString named = NamedBook(m_program.profile); !named.isEmpty()) {
            const book::ParsedLocation parsed = book::ParseBookLocation(named);
            if (!parsed.location) {
                m_program.notices.tell(platform::PlainNotice(parsed.error));
                return false;
            }
            location = *parsed.location;
        }
    auto opened = std::make_unique<book::SiteBook>();
        const book::BookOutcome outcome = opened->open(location);
        m_program.notices.tell(outcome.notices);
        if (!outcome.ok())
            return false;
        m_program.book = std::move(opened);
    }
    SitesWindow window(*m_program.book, this);
    window.allowBatches({m_program.strings, m_program.clock, m_program.prompter, m_dialogs,
                         m_program.profile.path()});
    window.open = [this](const SiteChoice &choice) { return m_files->OpenSite(choice); };
    window.compare = [this](const SiteChoice &choice) {
        clock::ClockTable other;
        m_program.notices.tell(clock::ReadClockImage(other, choice.version.clockImage).notices);
        showComparison(clock::DiffTables(m_program.clockTable, other), other,
                       tr("%1, version %2").arg(choice.site.name).arg(choice.version.number));
    };
    window.dialogs = &m_dialogs;
    window.importSetup = {book::CurrentUserName(), &m_program.settings, &m_program.strings,
                          SiteProblemCounter(m_program.strings, m_program.clock)};
    window.compareVersions = [this](const SiteChoice &older, const book::TableVersion &newer) {
        compareSiteVersions(older, newer);
    };
    window.receiveFromUnit = [this, &window](const book::Site &site, const QByteArray &project) {
        return receiveSiteTable(site, project, &window);
    };
    const bool opened = window.exec() == QDialog::Accepted;
    RefreshStatus();
    return opened;
}

void FrmKlokken::compareSiteVersions(const SiteChoice &older, const book::TableVersion &newer)
{
    clock::ClockTable a;
    clock::ClockTable b;
    m_program.notices.tell(clock::ReadClockImage(a, older.version.clockImage).notices);
    m_program.notices.tell(clock::ReadClockImage(b, newer.clockImage).notices);
    // The site's own project names the functions; the editor may hold another one.
    const project::ProjectRead read =
        project::ReadProjectData(older.projectFile, m_program.settings, m_program.strings);
    const project::ProjectModel &model = read.model ? *read.model : m_program.project;
    const FunctionPresenter presenter(model, m_program.names, m_program.strings, m_values);
    const LineDescriber describer(presenter, m_program.names, m_program.strings, m_program.clock);
    const auto name = [&older](const book::TableVersion &version) {
        return tr("%1, version %2").arg(older.site.name).arg(version.number);
    };
    m_exports->showComparison({a, name(older.version)}, {b, name(newer)}, describer);
}

book::WorkResult FrmKlokken::receiveSiteTable(const book::Site &site, const QByteArray &project,
                                              QWidget *parent)
{
    book::LinkWork work(m_program.strings, m_program.clock,
                        SiteProblemCounter(m_program.strings, m_program.clock),
                        m_program.profile.path());
    QProgressDialog progress(tr("Receiving the table of %1…").arg(site.name), tr("Cancel"), 0, 0,
                             parent);
    progress.setWindowTitle(QStringLiteral("Quintara"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    connect(&progress, &QProgressDialog::canceled, &progress, [&work] { work.requestStop(); });
    work.progressText = [&progress, &site](const QString &step) {
        progress.setLabelText(tr("%1: %2").arg(site.name, step));
    };
    progress.show();
    return work.run(book::BatchKind::Backup, site, project, {});
}

bool FrmKlokken::planHolidays()
{
    HolidayPlanDialog dialog(m_program, m_presenter, m_describer, m_history, m_dialogs, this);
    const bool applied = dialog.exec() == QDialog::Accepted;
    if (applied)
        ScrWeeks_Change();
    return applied;
}

bool FrmKlokken::planSimulation()
{
    SimulationPlanDialog dialog(m_program, m_presenter, m_describer, m_history, this);
    const bool applied = dialog.exec() == QDialog::Accepted;
    if (applied)
        ScrWeeks_Change();
    return applied;
}

void FrmKlokken::RefreshStatus()
{
    placeNowLine();
    const clock::ClockTable &table = m_program.clockTable;
    m_menus->toolbarButton(WindowMenus::SaveButton)->setEnabled(table.TableChanged);
    // Qt shows the [*] place holder as the platform's mark of unsaved changes.
    const QString title = QStringLiteral("Quintara - ") + m_files->tableName() + QStringLiteral("[*]");
    if (windowTitle() != title)
        setWindowTitle(title);
    setWindowModified(table.TableChanged);
    const QString &path = m_program.settings.nbtFile;
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString site = m_files->siteInEditor();
    m_panel->setProject(
        m_program.strings.GetResString(settings::TextId::FileCommand::ProjectFile) + u':',
        !site.isEmpty()              ? tr("%1 (site book)").arg(site)
        : m_files->receivedProject() ? m_program.strings.GetResString(ReceivedProjectTextId)
                                     : path.mid(slash + 1));
}

QTabBar *FrmKlokken::TabClk() const
{
    return m_panel->tabs();
}

void FrmKlokken::tableReplaced()
{
    // A site opened again may have had its location changed in the book.
    m_sun->forget();
    ScrWeeks_Change();
    m_input->clearSelection();
}

void FrmKlokken::historyRestored()
{
    m_files->followRestoredName();
    // The project follows the model the table came back with, as it followed the file's.
    if (m_program.project.ModelIndex != m_program.clockTable.ModelIndex) {
        project::SelectModel(m_program.project, m_program.clockTable.ModelIndex, m_program.strings);
        applyProject();
    }
    const std::optional<int> selected = m_program.clockTable.selectedIndex();
    const bool lives = selected && m_program.clockTable.Lines[std::size_t(*selected)].inUse();
    if (lives)
        bringIntoView(*selected);
    // The state comes back byte for byte: no bringing its dates up to date on the way.
    showTableAsIs();
    if (lives)
        m_input->selectOnFocusRow(*selected);
    else
        m_input->clearSelection();
}

void FrmKlokken::applyProject()
{
    clock::ApplyModel(m_program.clockTable, m_program.project);
    followLanguage();
    // The views' function type lists come from the project as well as from the language.
    m_lineViews->translate(true);
    translate();
    RefreshStatus();
}

void FrmKlokken::followLanguage()
{
    const int offset = m_program.strings.LanguageOffset();
    if (offset == m_namesLanguage)
        return;
    m_namesLanguage = offset;
    m_program.names = settings::FillNameTables(m_program.strings);
    m_qtLanguage.apply(offset / settings::LanguageStep);
    translate();
}

void FrmKlokken::ProjectReceived()
{
    m_files->ProjectReceived();
}

void FrmKlokken::showComparison(const clock::TableDiff &diff, const clock::ClockTable &other,
                                const QString &otherName)
{
    m_exports->showComparison(diff, other, otherName);
}

} // namespace quintara::ui
