#include "settings/FormTexts.h"

#include "settings/Strings.h"
#include "settings/TextIds.h"

namespace quintara::settings {

namespace {

TextPart id(int value)
{
    return TextPart{value, {}};
}

TextPart lit(const char *text)
{
    return TextPart{0, QString::fromUtf8(text)};
}

ControlText text(const char *control, int stringId)
{
    return {QString::fromLatin1(control), -1, {id(stringId)}};
}

ControlText item(const char *control, int index, int stringId)
{
    return {QString::fromLatin1(control), index, {id(stringId)}};
}

ControlText joined(const char *control, QList<TextPart> recipe)
{
    return {QString::fromLatin1(control), -1, std::move(recipe)};
}

// "Action" + " " + the command.
ControlText action(const char *control, int stringId)
{
    return joined(control, {id(992), lit(" "), id(stringId)});
}

QList<ControlText> ClockEditTexts()
{
    return {
        text("", 982),
        text("LblTabel", 1002),
        joined("LblFnc", {id(1019), lit(":")}),
        joined("LblLd", {id(1020), lit(":")}),
        text("LblLvl", 2370), // 50 says "Niveau" in every language
        text("LblTijd", 989),
        text("LblDate", 990),
        text("LblRepeat", 988),
        text("CmdOK", 30),
        text("CmdCancel", 31),
        item("OptTabel", 0, 983),
        item("OptTabel", 1, 984),
        item("OptTabel", 2, 985),
        item("OptTabel", 3, 986),
        item("OptTabel", 4, 987),
    };
}

// The menus show texts of our own that carry mnemonics; the plain captions they copy are also
// used elsewhere (the save question names "File") and stay as they are.
QList<ControlText> MainWindowTexts()
{
    return {
        text("mmuFile", 2200),
        text("mmuFileOpenNBT", 2201),
        text("mmuFileNew", 2202),
        text("mmuFileOpenCLK", 2203),
        text("mmuFileSave", 2204),
        text("mmuFileSaveAs", 2205),
        text("mmuClose", 2206),
        text("mmuFilePrint", 2455),
        text("mmuFileExportPdf", 2456),
        text("mmuFileExportCsv", 2457),
        text("mmuFileCompare", 2458),
        text("mmuEdit", 2207),
        item("mmuNieuw", 0, 2209),
        item("mmuNieuw", 1, 2210),
        item("mmuNieuw", 2, 2211),
        item("mmuNieuw", 3, 2212),
        item("mmuNieuw", 4, 2213),
        text("mmuEditNew", 2208),
        text("mmuEditProp", 2214),
        text("mmuDelete", 2215),
        text("mmuUndo", TextId::UndoStep::Undo),
        text("mmuRedo", TextId::UndoStep::Redo),
        text("mmuDuplicate", 2452),
        text("mmuCopy", 2453),
        text("mmuPaste", 2454),
        item("Tlb", 1, 32),
        item("Tlb", 2, 980),
        item("Tlb", 3, 616),
        item("Tlb", 4, 604),
        item("Tlb", 5, 605),
        item("Tlb", 6, 607),
        item("Tlb", 8, 983),
        item("Tlb", 9, 984),
        item("Tlb", 10, 985),
        item("Tlb", 11, 986),
        item("Tlb", 12, 987),
        action("CmdAdd", 35),
        action("CmdDelete", 36),
        action("CmdEdit", 610),
        action("CmdTest", 998),
        text("mmuComGet", 2218),
        text("mmuComSend", 2217),
        text("mmuComCompare", 2459),
        text("mnuhelp", 2219),
        text("mnuHelpIndex", 2220),
        text("mnuHelpAbout", 2221),
    };
}

QList<ControlText> CommunicationTexts()
{
    return {
        text("", 615),
        text("cmdSendOK", 30),
        text("cmdSendCancel", 31),
        joined("lblProgress", {id(674), lit(":")}),
        joined("FraCom", {id(1031), lit(":")}),
        text("ChkModem", 974),
        text("ChkTimeSet", 1010),
        text("ChkVerify", 2354),
        text("FraModem", 975),
        text("LblModem", 976),
        text("LblInitString", 977),
        text("LblTelNr", 1009),
        text("ChkCallBack", 978),
        text("LblCallBack", 1046),
        text("CmdPrgModem", 979),
        text("CmdRcv", 980),
    };
}

QList<ControlText> StartDialogTexts()
{
    return {
        text("cmdOpenF", 995),
        text("CmdLoad", 996),
        text("CmdNew", 997),
        text("CmdCancel", 31),
    };
}

} // namespace

QList<ControlText> FormTexts(const QString &formName)
{
    if (formName == u"FrmClkEdit")
        return ClockEditTexts();
    if (formName == u"FrmKlokken")
        return MainWindowTexts();
    if (formName == u"FrmCom")
        return CommunicationTexts();
    if (formName == u"FrmSelectClkAct")
        return StartDialogTexts();
    return {};
}

QString ComposeText(const QList<TextPart> &recipe, const Strings &strings)
{
    QString result;
    for (const TextPart &part : recipe)
        result += part.id > 0 ? strings.GetResString(part.id) : part.literal;
    return result;
}

} // namespace quintara::settings
