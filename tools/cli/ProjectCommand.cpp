#include "tools/cli/Commands.h"
#include "tools/cli/JsonOutput.h"
#include "tools/cli/Session.h"

#include "project/ProjectModel.h"

#include <QJsonArray>

#include <utility>

namespace quintara::cli {

namespace {

// How the clock line editor fills its function list.
constexpr int EditorListMode = ui::DescribeMode::Number;
constexpr int EditorListDetail = 2;

QList<std::pair<QString, int>> NamedLimits(const project::ModelLimits &limits)
{
    return {
        {QStringLiteral("MaxInputModule"), limits.MaxInputModule},
        {QStringLiteral("Relays"), limits.Relays},
        {QStringLiteral("Dimmers"), limits.Dimmers},
        {QStringLiteral("Sensors"), limits.Sensors},
        {QStringLiteral("AudioZones"), limits.AudioZones},
        {QStringLiteral("OutputModules"), limits.OutputModules},
        {QStringLiteral("OutputChannels"), limits.OutputChannels},
        {QStringLiteral("TimedFunctions"), limits.TimedFunctions},
        {QStringLiteral("Flags"), limits.Flags},
        {QStringLiteral("IfElseFunctions"), limits.IfElseFunctions},
        {QStringLiteral("Conditions"), limits.Conditions},
        {QStringLiteral("Motors"), limits.Motors},
        {QStringLiteral("ClockLines"), limits.ClockLines},
    };
}

} // namespace

int RunProject(Session &session, const QString &projectFile, const OutputOptions &output,
               QTextStream &out)
{
    if (!session.ReadProject(projectFile))
        return ExitFailed;
    const project::ProjectModel &model = session.project();
    const ui::FunctionPresenter &presenter = session.presenter();
    const auto workdays = model.WorkdayFlags();

    ui::ItemList types;
    presenter.FillFunctionTypeList(types);

    if (output.json) {
        QJsonObject limits;
        for (const auto &[name, value] : NamedLimits(model.Limits))
            limits.insert(name, value);
        QJsonArray flags;
        for (const quint8 flag : workdays)
            flags.append(flag);
        QJsonArray functions;
        for (const ui::ListEntry &type : std::as_const(types.entries)) {
            ui::ItemList list;
            presenter.FillFunctionList(list, type.itemData, EditorListMode, false,
                                       EditorListDetail);
            for (const ui::ListEntry &entry : std::as_const(list.entries))
                functions.append(QJsonObject{{QStringLiteral("type"), type.itemData},
                                             {QStringLiteral("number"), entry.itemData & 0xFF},
                                             {QStringLiteral("itemData"), entry.itemData},
                                             {QStringLiteral("text"), entry.text}});
        }
        WriteJson(out, QJsonObject{{QStringLiteral("version"), model.FileVersion},
                                   {QStringLiteral("model"), model.ModelIndex},
                                   {QStringLiteral("limits"), limits},
                                   {QStringLiteral("workdays"), flags},
                                   {QStringLiteral("functions"), functions}});
        return ExitOk;
    }

    out << "Project " << projectFile << ": version " << model.FileVersion << ", model "
        << model.ModelIndex << '\n';
    out << "Limits:";
    for (const auto &[name, value] : NamedLimits(model.Limits))
        out << ' ' << name << ' ' << value;
    out << "\nWorkdays (Monday first):";
    for (const quint8 flag : workdays)
        out << ' ' << flag;
    out << '\n';
    for (const ui::ListEntry &type : std::as_const(types.entries)) {
        ui::ItemList list;
        presenter.FillFunctionList(list, type.itemData, EditorListMode, false, EditorListDetail);
        out << '\n' << type.text << " (" << type.itemData << "): " << list.entries.size() << '\n';
        for (const ui::ListEntry &entry : std::as_const(list.entries))
            out << QString::number(entry.itemData).rightJustified(7) << "  " << entry.text << '\n';
    }
    return ExitOk;
}

} // namespace quintara::cli
