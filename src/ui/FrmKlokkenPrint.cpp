// Hand-over from the main window: the week, the lines and the agenda on paper or in a PDF, the
// lines as comma-separated values, and comparing the table with another one.
#include "clock/ClockFile.h"
#include "clock/TableDiff.h"
#include "platform/Files.h"
#include "project/ProjectModel.h"
#include "render/HandOverDocument.h"
#include "render/WeekPainter.h"
#include "settings/NameTables.h"
#include "ui/AgendaView.h"
#include "ui/CompareDialog.h"
#include "ui/FileDialogs.h"
#include "ui/FrmKlokken.h"
#include "ui/FrmKlokkenParts.h"
#include "ui/Program.h"
#include "presentation/Csv.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLocale>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace quintara::ui {

using namespace klokken;

namespace {

constexpr int WeekTitle = 2470;
constexpr int AllLinesTitle = 2471;
constexpr int AgendaTitle = 2472;
constexpr int PdfFiles = 2478;
constexpr int ClockFiles = 2498;
constexpr int CsvFiles = 2499;
constexpr int AllFilesId = 5;

QString FileNameOnly(const QString &path)
{
    return path.mid(std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1);
}

} // namespace

render::DocumentHead FrmKlokken::handOverHead() const
{
    return render::MakeDocumentHead(
        m_program.strings, m_receivedProject ? text(ReceivedProjectId) : m_program.settings.nbtFile,
        m_program.clockTable.ClockFileName, m_program.project.ModelIndex,
        m_program.clockTable.MaxClockLines, m_program.clock.now());
}

QList<render::DocumentTable> FrmKlokken::handOverTables() const
{
    QList<render::DocumentTable> tables{{text(AllLinesTitle), &m_lineModel}};
    // The agenda of the range last shown in its tab.
    if (m_agendaModel.rowCount() > 0) {
        const auto [from, to] = m_agenda->dates();
        tables.append({text(AgendaTitle) + QStringLiteral(" %1 - %2")
                                               .arg(QLocale().toString(from, QLocale::ShortFormat),
                                                    QLocale().toString(to, QLocale::ShortFormat)),
                       &m_agendaModel});
    }
    return tables;
}

int FrmKlokken::paintHandOver(QPagedPaintDevice &device)
{
    // The list and the agenda as the table stands, whether or not their tabs were on show.
    refreshList();
    if (m_viewsStale && m_agendaModel.rowCount() > 0)
        m_agenda->refresh();
    const render::DocumentWeek week{m_model, m_program.clockTable, m_program.project.WorkdayFlags(),
                                    m_firstShownDay,
                                    render::WeekPainter::LegendCaptions(m_program.names)};
    return render::PaintHandOver(device, m_pictures, handOverHead(), week, handOverTables());
}

void FrmKlokken::Print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QFileInfo(tableName()).completeBaseName());
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(text(WeekTitle) + QStringLiteral(" - ") + FileNameOnly(tableName()));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *into) { paintHandOver(*into); });
    preview.exec();
}

bool FrmKlokken::ExportPdf(const QString &path)
{
    // Painted into memory first: the file is written whole or not at all.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&bytes);
        pdf.setResolution(300);
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setTitle(FileNameOnly(tableName()));
        pdf.setCreator(QStringLiteral("Quintara"));
        if (paintHandOver(pdf) == 0)
            return false;
    }
    if (const auto failure = platform::WriteWholeFile(path, bytes.data())) {
        showSystemError(
            platform::FileFailure(path, settings::WriteFailureText(m_program.strings, *failure)));
        return false;
    }
    return true;
}

std::optional<QString> FrmKlokken::chooseExportFile(int titleId, int filesId,
                                                    const QString &extension)
{
    FileDialogRequest request;
    request.title = text(titleId).remove(u'&').remove(QStringLiteral("..."));
    request.filter = text(filesId) + QStringLiteral(" (*.%1)|*.%1|").arg(extension) +
                     text(AllFilesId) + QStringLiteral(" (*.*)|*.*");
    request.initialName = QFileInfo(tableName()).completeBaseName() + u'.' + extension;
    request.overwritePrompt = true;
    request.pathMustExist = true;
    const std::optional<QString> chosen = chooseFile(true, request);
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return QFileInfo(*chosen).suffix().isEmpty() ? *chosen + u'.' + extension : *chosen;
}

void FrmKlokken::ExportPdf()
{
    if (const auto path = chooseExportFile(2456, PdfFiles, QStringLiteral("pdf")))
        ExportPdf(*path);
}

bool FrmKlokken::ExportCsv(const QString &path)
{
    const QString csv = ClockLinesCsv(m_program.clockTable, [this](const clock::ClockLine &line) {
        return std::pair{m_describer.functionText(line), m_describer.levelText(line)};
    });
    if (const auto failure = platform::WriteWholeFile(path, csv.toUtf8())) {
        showSystemError(
            platform::FileFailure(path, settings::WriteFailureText(m_program.strings, *failure)));
        return false;
    }
    return true;
}

void FrmKlokken::ExportCsv()
{
    if (const auto path = chooseExportFile(2457, CsvFiles, QStringLiteral("csv")))
        ExportCsv(*path);
}

void FrmKlokken::CompareWithFile()
{
    FileDialogRequest request;
    request.title = text(2458).remove(u'&').remove(QStringLiteral("..."));
    request.filter = text(ClockFiles) + QStringLiteral(" (*.clk)|*.clk|") + text(AllFilesId) +
                     QStringLiteral(" (*.*)|*.*");
    request.fileMustExist = true;
    request.pathMustExist = true;
    const std::optional<QString> chosen = chooseFile(false, request);
    if (chosen && !chosen->isEmpty())
        CompareWithFile(*chosen);
}

bool FrmKlokken::CompareWithFile(const QString &path)
{
    // Read as Open reads; nothing in force changes.
    const std::optional<ReadBeside> read = readClockFileBeside(path);
    if (!read)
        return false;
    showComparison(clock::DiffTables(m_program.clockTable, read->table), read->table,
                   QFileInfo(path).fileName());
    return true;
}

void FrmKlokken::showComparison(const clock::TableDiff &diff, const clock::ClockTable &other,
                                const QString &otherName)
{
    if (compareDialog) {
        compareDialog(diff, other, otherName);
        return;
    }
    CompareDialog dialog(diff, m_program.clockTable, other, otherName, m_describer, this);
    dialog.exec();
}

} // namespace quintara::ui
