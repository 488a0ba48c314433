#include "ui/Exports.h"

#include "clock/ClockFile.h"
#include "clock/TableDiff.h"
#include "platform/Files.h"
#include "presentation/AgendaModel.h"
#include "presentation/ClockLineListModel.h"
#include "presentation/Csv.h"
#include "presentation/DateText.h"
#include "presentation/LineDescriber.h"
#include "presentation/WeekViewModel.h"
#include "project/ProjectModel.h"
#include "render/HandOverDocument.h"
#include "render/WeekPainter.h"
#include "settings/NameTables.h"
#include "settings/TextIds.h"
#include "ui/CompareDialog.h"
#include "ui/FileCommands.h"
#include "ui/FileDialogs.h"
#include "ui/FocusFrameStyle.h"
#include "ui/Program.h"

#include <QDir>
#include <QFileInfo>
#include <QGraphicsView>
#include <QLayout>
#include <QLocale>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QToolBar>

namespace quintara::ui {

namespace {

constexpr int WeekTitle = settings::TextId::Print::WeekTitle;
constexpr int AllLinesTitle = settings::TextId::Print::AllLinesTitle;
constexpr int AgendaTitle = settings::TextId::Print::AgendaTitle;
constexpr int PdfFiles = settings::TextId::Print::PdfFiles;
constexpr int ClockFiles = 2498;
constexpr int CsvFiles = 2499;
constexpr int AllFilesId = 5;
constexpr int WrittenToId = 2421; // "Written to %1"

QString FileNameOnly(const QString &path)
{
    return path.mid(std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1);
}

// The preview within the screen's free area (at a large scale its own size runs off it), as
// wide as its toolbar needs where the screen allows, so that Print at its end shows.
void FitToScreen(QDialog &preview)
{
    const QScreen *screen = preview.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Room for the title bar and the frame, which the window manager adds.
    const QSize frame(16, 48);
    QSize size = preview.size().expandedTo(QSize(0, area.height() * 9 / 10));
    if (const auto *bar = preview.findChild<QToolBar *>()) {
        const QMargins margins =
            preview.layout() ? preview.layout()->contentsMargins() : QMargins();
        size.setWidth(
            std::max(size.width(), bar->sizeHint().width() + margins.left() + margins.right()));
    }
    size = size.boundedTo(area.size() - frame);
    preview.resize(size);
    preview.move(area.left() + (area.width() - size.width() - frame.width()) / 2,
                 area.top() + (area.height() - size.height() - frame.height()) / 2);
}

} // namespace

Exports::Exports(Program &program, FileCommands &files, const LineDescriber &describer,
                 ClockLineListModel &lineModel, AgendaModel &agendaModel, const WeekViewModel &week,
                 const QDate &firstShownDay, QWidget *parent)
    : m_program(program), m_files(files), m_describer(describer), m_lineModel(lineModel),
      m_agendaModel(agendaModel), m_week(week), m_firstShownDay(firstShownDay), m_parent(parent)
{
}

QString Exports::text(int id) const
{
    return m_program.strings.GetResString(id);
}

render::DocumentHead Exports::handOverHead() const
{
    return render::MakeDocumentHead(
        m_program.strings,
        m_files.receivedProject() ? text(ReceivedProjectTextId) : m_program.settings.nbtFile,
        m_program.clockTable.ClockFileName, m_program.project.ModelIndex,
        m_program.clockTable.MaxClockLines, m_program.clock.now());
}

QList<render::DocumentTable> Exports::handOverTables() const
{
    QList<render::DocumentTable> tables{{text(AllLinesTitle), &m_lineModel,
                                         ClockLineListModel::WarningColumn,
                                         ClockLineListModel::WarningsRole}};
    // The agenda of the range last shown in its tab.
    if (m_agendaModel.rowCount() > 0 && agendaDates) {
        const auto [from, to] = agendaDates();
        tables.append(
            {text(AgendaTitle) +
                 QStringLiteral(" %1 - %2").arg(DateText().date(from), DateText().date(to)),
             &m_agendaModel});
    }
    return tables;
}

int Exports::paintHandOver(QPagedPaintDevice &device)
{
    // The list and the agenda as the table stands, whether or not their tabs were on show.
    if (refreshTables)
        refreshTables();
    const render::DocumentWeek week{
        m_week,
        m_program.clockTable,
        m_program.project.WorkdayFlags(),
        m_firstShownDay,
        render::WeekPainter::LegendCaptions(m_program.names, m_program.strings),
        weekNights ? weekNights() : std::vector<WeekNight>()};
    return render::PaintHandOver(device, m_pictures, handOverHead(), week, handOverTables());
}

void Exports::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QFileInfo(m_files.tableName()).completeBaseName());
    QPrintPreviewDialog preview(&printer, m_parent);
    preview.setWindowTitle(text(WeekTitle) + QStringLiteral(" - ") +
                           FileNameOnly(m_files.tableName()));
    FitToScreen(preview);
    // The pages take no focus of their own: Tab reaches them, the arrows and Page Up/Down
    // scroll them, and a ring shows where the keys go.
    if (auto *pages = preview.findChild<QGraphicsView *>()) {
        pages->setFocusPolicy(Qt::StrongFocus);
        FrameWhileFocused(*pages);
    }
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this](QPrinter *into) { paintHandOver(*into); });
    preview.exec();
}

bool Exports::ExportPdf(const QString &path)
{
    // Painted into memory first: the file is written whole or not at all.
    const QByteArray bytes =
        render::PaintPdf(FileNameOnly(m_files.tableName()), QPageLayout::Landscape,
                         [this](QPagedPaintDevice &pdf) { return paintHandOver(pdf); });
    return !bytes.isEmpty() && writeExport(path, bytes);
}

bool Exports::writeExport(const QString &path, const QByteArray &bytes)
{
    if (const auto failure = platform::WriteWholeFile(path, bytes)) {
        m_files.showSystemError(
            platform::FileFailure(path, settings::WriteFailureText(m_program.strings, *failure)));
        return false;
    }
    if (written)
        written(text(WrittenToId).arg(QDir::toNativeSeparators(path)));
    return true;
}

std::optional<QString> Exports::chooseExportFile(int titleId, int filesId, const QString &extension)
{
    FileDialogRequest request;
    request.title = text(titleId).remove(u'&').remove(QStringLiteral("..."));
    request.filter = text(filesId) + QStringLiteral(" (*.%1)|*.%1|").arg(extension) +
                     text(AllFilesId) + QStringLiteral(" (*.*)|*.*");
    request.initialName = QFileInfo(m_files.tableName()).completeBaseName() + u'.' + extension;
    request.overwritePrompt = true;
    request.pathMustExist = true;
    const std::optional<QString> chosen = m_files.chooseFile(true, request);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return QFileInfo(*chosen).suffix().isEmpty() ? *chosen + u'.' + extension : *chosen;
}

void Exports::ExportPdf()
{
    if (const auto path = chooseExportFile(settings::TextId::FileCommand::ExportPdf, PdfFiles,
                                           QStringLiteral("pdf")))
        ExportPdf(*path);
}

bool Exports::ExportCsv(const QString &path)
{
    // The list as the table stands, whether or not its tab was on show.
    if (refreshTables)
        refreshTables();
    return writeExport(path, LineListCsv(m_lineModel).toUtf8());
}

void Exports::ExportCsv()
{
    if (const auto path = chooseExportFile(settings::TextId::FileCommand::ExportCsv, CsvFiles,
                                           QStringLiteral("csv")))
        ExportCsv(*path);
}

void Exports::CompareWithFile()
{
    FileDialogRequest request;
    request.title =
        text(settings::TextId::FileCommand::CompareWith).remove(u'&').remove(QStringLiteral("..."));
    request.filter = text(ClockFiles) + QStringLiteral(" (*.clk)|*.clk|") + text(AllFilesId) +
                     QStringLiteral(" (*.*)|*.*");
    request.fileMustExist = true;
    request.pathMustExist = true;
    const std::optional<QString> chosen = m_files.chooseFile(false, request);
    if (chosen && !chosen->isEmpty())
        CompareWithFile(*chosen);
}

bool Exports::CompareWithFile(const QString &path)
{
    // Read as Open reads; nothing in force changes.
    const auto read = m_files.readClockFileBeside(path);
    if (!read)
        return false;
    showComparison(clock::DiffTables(m_program.clockTable, read->table), read->table,
                   QFileInfo(path).fileName());
    return true;
}

void Exports::showComparison(const clock::TableDiff &diff, const clock::ClockTable &other,
                             const QString &otherName)
{
    if (compareDialog) {
        compareDialog(diff, other, otherName);
        return;
    }
    CompareDialog dialog(diff, m_program.clockTable, other, otherName, m_describer, m_parent);
    dialog.exec();
}

void Exports::showComparison(const Side &mine, const Side &other, const LineDescriber &describer)
{
    const clock::TableDiff diff = clock::DiffTables(mine.table, other.table);
    if (compareDialog) {
        compareDialog(diff, other.table, other.name);
        return;
    }
    CompareDialog dialog(diff, mine.table, other.table, other.name, describer, m_parent, mine.name);
    dialog.exec();
}

} // namespace quintara::ui
