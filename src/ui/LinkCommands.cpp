#include "ui/LinkCommands.h"

#include "clock/ClockFile.h"
#include "link/TrafficTrace.h"
#include "ui/FileCommands.h"
#include "ui/FileDialogs.h"
#include "ui/FrmCom.h"
#include "ui/FrmKlokken.h"
#include "ui/Program.h"

#include <QAction>
#include <QMenu>

#include <memory>

namespace quintara::ui {

namespace {

constexpr int AllFilesId = 5;
constexpr int SaveTraceId = 676;
constexpr int LineTraceId = 677;
constexpr int CentralUnitId = 2475;

// Whether the user asked for traces of the line: "[Link] Trace=1" in the settings file.
bool Tracing(const Program &program)
{
    return program.profile.readString(QStringLiteral("Link"), QStringLiteral("Trace"), {}, 5)
               .trimmed() == QLatin1String("1");
}

// Communication > Save last trace...: enabled once a transfer has left a trace.
void AddSaveTrace(FrmKlokken &main, Program &program,
                  const std::shared_ptr<link::TrafficTrace> &trace)
{
    auto *menu = main.findChild<QMenu *>(QStringLiteral("mmuCom"));
    if (!menu)
        return;
    menu->addSeparator();
    QAction *save = menu->addAction(QString());
    save->setObjectName(QStringLiteral("mmuComSaveTrace"));
    const auto refresh = [save, trace, &program] {
        save->setText(program.strings.GetResString(SaveTraceId));
        save->setEnabled(!trace->isEmpty());
    };
    refresh();
    QObject::connect(menu, &QMenu::aboutToShow, save, refresh);
    QObject::connect(save, &QAction::triggered, save, [&main, &program, trace] {
        FileDialogRequest request;
        request.title = program.strings.GetResString(SaveTraceId).remove(QStringLiteral("..."));
        request.filter = program.strings.GetResString(LineTraceId) +
                         QStringLiteral(" (*.txt)|*.txt|") +
                         program.strings.GetResString(AllFilesId) + QStringLiteral(" (*.*)|*.*");
        request.initialName = QStringLiteral("quintara-trace.txt");
        request.overwritePrompt = true;
        const std::optional<QString> path = main.fileDialogs().getSaveFileName(&main, request);
        QString error;
        if (path && !trace->save(*path, program.strings, &error))
            program.notices.tell(platform::SystemFailureNotice(error));
    });
}

} // namespace

void InstallLinkCommands(FrmKlokken &main, Program &program, link::SerialLine &transferLine)
{
    // The last transfer's trace, kept for as long as the window's commands live.
    auto trace = std::make_shared<link::TrafficTrace>();
    const auto run = [&main, &program, &transferLine, trace](FrmCom::Mode mode) {
        // A site's transfers keep their trace in the book whether or not one is asked for.
        const bool site = !main.files().siteInEditor().isEmpty();
        FrmCom dialog(program, mode, transferLine, &main,
                      Tracing(program) || site ? trace.get() : nullptr);
        dialog.tableTransferEnded = [&main, trace](const FrmCom::TableTransfer &transfer) {
            book::TableVersion version;
            version.event = transfer.event;
            version.outcome = transfer.outcome;
            version.detail = transfer.detail;
            version.trace = trace->text();
            main.files().keepTransfer(std::move(version));
        };
        if (dialog.exec() != QDialog::Accepted)
            return;
        // A received project brings its own model and workdays.
        if (dialog.projectReceived())
            main.ProjectReceived();
        // Compare, and a failed send whose table the unit may hold, end with a comparison.
        if (dialog.comparison())
            main.showComparison(dialog.comparison()->diff, dialog.comparison()->unit,
                                program.strings.GetResString(CentralUnitId));
    };
    main.onTransmit = [&main, run] {
        run(FrmCom::Mode::Transmit);
        // Sending frees one-time lines that lay in the past; Receive repaints by itself.
        main.ScrWeeks_Change();
    };
    main.onReceive = [run] { run(FrmCom::Mode::Receive); };
    main.onCompare = [run] { run(FrmCom::Mode::Compare); };
    AddSaveTrace(main, program, trace);
}

} // namespace quintara::ui
