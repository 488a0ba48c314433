#pragma once

// Ids of the string table's texts (base ids, before the language offset), in groups by where
// they are shown. A run of texts that follow each other is named by its first id.
namespace quintara::settings::TextId {

// Texts of our own about files, shown by several layers.
namespace File {
inline constexpr int NotARegularFile = 2100;
inline constexpr int NoSuchFile = 2101;
inline constexpr int NoSuchFolder = 2102;
inline constexpr int OtherHardLinks = 2130;
inline constexpr int NoRoomInPlace = 2131;
} // namespace File

// The start-up's request for a project file, and what it says once one is read.
namespace Start {
inline constexpr int ReadProject = 2140;
inline constexpr int ProjectRead = 2141;
} // namespace Start

// Level values as the lists and the editor write them.
namespace Level {
inline constexpr int Uncoupled = 401;
inline constexpr int RelayOn = 402;
inline constexpr int RelayOff = 403;
inline constexpr int On = 404;
inline constexpr int Off = 405;
inline constexpr int Up = 1044;
inline constexpr int Down = 1045;
} // namespace Level

// Names of the day-tables; the ids do not follow the table kinds.
namespace TableName {
inline constexpr int Continue = 1003;
inline constexpr int Special = 1004;
inline constexpr int Workday = 1005;
inline constexpr int Weekend = 1006;
inline constexpr int Simulation = 1007;
} // namespace TableName

// The health check's findings and its summary.
namespace Health {
inline constexpr int BeyondModel = 2300;
inline constexpr int InvalidTime = 2301;
inline constexpr int InvalidDate = 2302;
inline constexpr int InvalidTable = 2303;
inline constexpr int InvalidRepeat = 2304;
inline constexpr int Past = 2305;
inline constexpr int UnknownFunction = 2306;
inline constexpr int Conflict = 2307;
inline constexpr int SummaryHeading = 2308;
inline constexpr int SummaryHeadingOne = 2396;
inline constexpr int NoProblems = 2309;
inline constexpr int HolidaysRunOut = 2310;
} // namespace Health

// The names of a line's fields in the order of its bytes, "Minute" first.
namespace LineField {
inline constexpr int First = 2360;
} // namespace LineField

// The list of clock lines: its column headings, one a column from "No.", and its notes.
namespace LineList {
inline constexpr int FirstHeading = 2400;
inline constexpr int Number = 2400;
inline constexpr int DayTable = 2401;
inline constexpr int Time = 2402;
inline constexpr int Function = 2405;
inline constexpr int Level = 2406;
inline constexpr int Every = 2409;
// "Every minute" .. "Every weekend day", and "Every %1 minutes" ..: runs in repeat unit order.
inline constexpr int EveryOne = 2501;
inline constexpr int EveryMany = 2511;
inline constexpr int BeyondModel = 2410;
inline constexpr int NoModel = 2411;
} // namespace LineList

// Pasting clock lines.
namespace Clipboard {
inline constexpr int NotEnoughLines = 2416;
inline constexpr int LaterVersion = 2417;
inline constexpr int Damaged = 2418;
} // namespace Clipboard

// Printed and exported documents.
namespace Print {
inline constexpr int WeekTitle = 2470;
inline constexpr int AllLinesTitle = 2471;
inline constexpr int AgendaTitle = 2472;
inline constexpr int ProjectFileLabel = 2473;
inline constexpr int ClockFileLabel = 2474;
inline constexpr int CentralUnitLabel = 2475;
inline constexpr int PrintedLabel = 2476;
inline constexpr int PageWord = 2477;
inline constexpr int PdfFiles = 2478;
inline constexpr int UnitModel = 2479;
} // namespace Print

// The agenda's own column heading; the others are the line list's.
namespace Agenda {
inline constexpr int Date = 2487;
} // namespace Agenda

// Filters of the line list and the agenda.
namespace Filter {
inline constexpr int AllTables = 2412;
inline constexpr int AllTypes = 2413;
} // namespace Filter

// File commands and their dialogs.
namespace FileCommand {
inline constexpr int File = 600;
inline constexpr int OpenTitle = 604;
inline constexpr int SaveAsTitle = 606;
inline constexpr int IsChanged = 907;
inline constexpr int SaveNow = 908;
inline constexpr int ReadProjectTitle = 991;
inline constexpr int ProjectFile = 1008;
inline constexpr int ExportPdf = 2456;
inline constexpr int ExportCsv = 2457;
inline constexpr int CompareWith = 2458;
inline constexpr int SendAllTheSame = 2480;
inline constexpr int AndMore = 2481;
// The file dialogs' filters.
inline constexpr int ClockFiles = 2393;
inline constexpr int ProjectFiles = 2394;
inline constexpr int AllFiles = 5;
} // namespace FileCommand

// The undo stack's names of its steps.
namespace UndoStep {
inline constexpr int AddLine = 2460;
inline constexpr int EditLine = 2461;
inline constexpr int DeleteLines = 2462;
inline constexpr int MoveLine = 2463;
inline constexpr int PasteLines = 2464;
inline constexpr int DuplicateLines = 2465;
inline constexpr int ReceiveTable = 2466;
inline constexpr int OpenClockFile = 2467;
inline constexpr int NewTable = 2468;
inline constexpr int DatesUpToDate = 2469;
// The steps on one line, "%1" its number.
inline constexpr int AddLineN = 2424;
inline constexpr int EditLineN = 2425;
inline constexpr int DeleteLineN = 2426;
inline constexpr int MoveLineN = 2427;
// The Edit menu's Undo and Redo, plain and naming the step ("%1" its text).
inline constexpr int Undo = 2450;
inline constexpr int Redo = 2451;
inline constexpr int UndoNamed = 2422;
inline constexpr int RedoNamed = 2423;
} // namespace UndoStep

// The line editor.
namespace Editor {
inline constexpr int SelectAnItem = 905;
inline constexpr int FunctionNotInProject = 2420; // "%1" the function
inline constexpr int DateOutOfRange = 2445;       // "%1" the first date, "%2" the last
} // namespace Editor

// The question before a line is deleted: "%1" the level, "%2" the function.
namespace Edit {
inline constexpr int DeleteQuestion = 2392;
} // namespace Edit

} // namespace quintara::settings::TextId
