#include "project/OldProjectFormats.h"

#include "project/RecordReader.h"
#include "settings/Ansi.h"

#include <utility>

namespace quintara::project {

namespace {

// Versions 10 and 11. Their layout, as this reader takes it:
//   251 zone names as today;
//   input modules 0 to 99, 40, 10, 20, 20 (by model) in the 885-byte form of version 24;
//   37, 18, 5, 10, 10 output modules (by model) of 451 bytes: name 50, first output group 1,
//     eight channel names of 50 (all relay outputs);
//   40 functions of 60 bytes: name 50, kind 1 (0 unused, 1 timed, any other a GO function),
//     target type 1, target number 1, level 1, time int16, condition type 1, condition
//     number 1, GO type 1, GO number 1;
//   the 30-byte system block of version 24;
//   version 11 only: one 83-byte modem record: in use 1, init string 50, telephone number 32.
// Old function i becomes timed function i and/or If-Then-Else function i, so that keys that
// name it keep their number.
constexpr int OldFunctionRecords = 40;

// Kept or cleared rather than given a new code.
constexpr int KeepKey = -1;
constexpr int ClearKey = -2;

// The key's own type code by its function type (lower six bits of its first byte).
constexpr std::array<int, 64> OldKeyCodes = [] {
    std::array<int, 64> codes{};
    codes.fill(KeepKey);
    const std::array<std::pair<int, int>, 14> renumbered{{{2, 16},
                                                          {6, 6},
                                                          {21, 26},
                                                          {22, 25},
                                                          {30, 30},
                                                          {32, 32},
                                                          {33, 33},
                                                          {36, 45},
                                                          {37, 46},
                                                          {38, 47},
                                                          {39, 48},
                                                          {40, 49},
                                                          {41, 43},
                                                          {42, 35}}};
    for (const auto &[functionType, code] : renumbered)
        codes[functionType] = code;
    codes[11] = ClearKey;
    codes[12] = ClearKey;
    return codes;
}();

// The oldest formats' forty functions: timed ones become timed functions (their conditions
// if-else functions), what the current model has no room or no kind for is reported as changed.
void ReadOldFunctions(RecordReader &in, ProjectModel &model, OldConversion &result)
{
    for (int i = 0; i < OldFunctionRecords; ++i) {
        Name50 name;
        quint8 kind = 0;
        TimedFunctionRec timed;
        quint8 conditionType = 0;
        quint8 conditionNumber = 0;
        quint8 goType = 0;
        quint8 goNumber = 0;
        in.text(name);
        in.value(kind);
        in.value(timed.TargetType);
        in.value(timed.TargetNumber);
        in.value(timed.Level);
        in.value(timed.Time);
        in.value(conditionType);
        in.value(conditionNumber);
        in.value(goType);
        in.value(goNumber);
        if (kind == 0)
            continue;

        const bool conditional = conditionType != 0;
        const bool ifElseRoom = i < model.Limits.IfElseFunctions;
        if (kind == 1) {
            if (i < model.Limits.TimedFunctions) {
                timed.Name = name;
                model.TimedFunctions[i] = timed;
            } else {
                result.goFunctionsChanged = true; // no room: lost
            }
            if (conditional) {
                result.conditionsMoved = true;
                if (ifElseRoom && i < model.Limits.TimedFunctions) {
                    model.IfElseFunctions[i].Name = name;
                    model.IfElseFunctions[i].Data = {
                        conditionType, conditionNumber, FunctionType::Timed, quint8(i), 0, 0, 0, 0};
                }
            }
            continue;
        }

        result.goFunctionsChanged = true;
        if (conditional && ifElseRoom) {
            model.IfElseFunctions[i].Name = name;
            model.IfElseFunctions[i].Data = {
                conditionType, conditionNumber, goType, goNumber, 0, 0, 0, 0};
        }
    }
}

} // namespace

void RecodeKeyTypes(ProjectModel &model)
{
    for (InputModuleRec &module : model.InputModules) {
        for (InputKeyRec &key : module.Keys) {
            if ((key.Bytes[2] & 63) == 17)
                key.Bytes[2] = static_cast<quint8>((key.Bytes[2] & 198) | 6);
        }
    }
}

void ApplyKeyTexts(ProjectModel &model, const std::array<Name50, KeyTextCount> &texts)
{
    for (InputModuleRec &module : model.InputModules) {
        for (std::size_t k = 0; k < module.Keys.size(); ++k) {
            const InputKeyRec &key = module.Keys[k];
            if ((key.Bytes[2] & 63) == 61)
                model.TextList[key.Bytes[3]].Text = texts[k];
        }
    }
}

void RecodeOldKeys(ProjectModel &model)
{
    for (InputModuleRec &module : model.InputModules) {
        for (InputKeyRec &key : module.Keys) {
            const int code = OldKeyCodes[key.Bytes[0] & 63];
            if (code == ClearKey) {
                key.Bytes[2] = 0;
                key.Bytes[3] = 0;
            } else if (code != KeepKey) {
                key.Bytes[2] = static_cast<quint8>((key.Bytes[2] & 192) | code);
            }
        }
    }
}

OldConversion ReadOldFormat(RecordReader &in, ProjectModel &model, int version)
{
    const int modelIndex = model.ModelIndex;
    OldConversion result;

    ReadList(model.ZoneNames, ZoneNamesInFile, [&](ZoneNameRec &r) { in.zoneName(r); });
    ReadList(model.InputModules, OldMaxInputModule[modelIndex] + 1,
             [&](InputModuleRec &r) { in.wideInputModule(r); });
    RecodeOldKeys(model);

    ReadList(model.OutputModules, OldOutputModules[modelIndex], [&](OutputModuleRec &r) {
        Name50 name;
        quint8 group = 0;
        in.text(name);
        in.value(group);
        std::array<Name50, ChannelsPerModule> channels{};
        for (Name50 &channel : channels)
            in.text(channel);
        if (name.isBlank())
            return;
        r.Name = DefaultOutputModuleName(name, group);
        r.ModuleType = 111;
        r.FirstOutput = group;
        for (int c = 0; c < ChannelsPerModule; ++c)
            r.Channels[c].Name = channels[c];
    });

    ReadOldFunctions(in, model, result);

    in.systemBlock(model.System);

    if (version == 11) {
        in.value(model.Modem.ModemInUse);
        in.text(model.Modem.ModemInit);
        if (const auto bytes = in.in().bytes(32))
            model.Modem.TelephoneNumber = settings::AnsiToString(*bytes);
    }
    return result;
}

} // namespace quintara::project
