#include "settings/NameTables.h"

#include "settings/Strings.h"

namespace quintara::settings {

namespace {

struct Entry {
    int code;
    int id;
    const char *codeText; // nullptr: no code text
};

// Function types: code, text id, three-letter code.
constexpr Entry FunctionTypes[] = {
    {0, 100, "NO"},   {1, 101, "REL"},  {2, 102, "DIM"},  {3, 75, "PRS"},   {4, 76, "IFE"},
    {5, 105, "TMD"},  {6, 759, "MTR"},  {7, 107, "FAN"},  {8, 108, "LMD"},  {9, 109, "TLM"},
    {10, 110, "GMD"}, {11, 111, "TRA"}, {12, 112, "MOD"}, {14, 114, "REG"}, {15, 77, "FLG"},
    {16, 167, "DUD"}, {18, 169, "DUP"}, {19, 170, "DDO"}, {20, 120, "SEN"}, {21, 121, "TMP"},
    {22, 122, "TMP"}, {23, 123, "TMP"}, {24, 124, "TMP"}, {25, 125, "TMP"}, {26, 126, "TMP"},
    {28, 78, nullptr}, {30, 130, "LCD"}, {31, 131, "AZN"}, {32, 132, "AUD"}, {33, 133, "AUD"},
    {34, 134, "AUD"}, {35, 176, "AUD"}, {36, 136, "AUD"}, {37, 137, "AUD"}, {38, 138, "AUD"},
    {39, 139, "AUD"}, {40, 140, "AUD"}, {41, 141, "AUD"}, {42, 142, "AUD"}, {43, 177, "AUD"},
    {44, 144, "AUD"}, {45, 171, "AUD"}, {46, 172, "AUD"}, {47, 173, "AUD"}, {48, 174, "AUD"},
    {49, 175, "AUD"}, {51, 151, "BZR"}, {52, 152, "KEY"}, {53, 153, "SER"}, {54, 154, "MSG"},
    {55, 1012, "U/D"}, {60, 160, "CON"}, {61, 971, "SEC"}, {65, 165, "TMP"}, {66, 166, "AUD"},
    {67, 14, nullptr},
};

// Interface and output module types.
constexpr Entry InterfaceTypes[] = {
    {1, 251, "REM"},   {2, 252, "KV2"},   {4, 254, "KV4"},   {5, 255, "LCD"},   {6, 256, "ITA"},
    {8, 258, "KV8"},   {9, 259, "DIG"},   {10, 260, "DIG"},  {11, 261, "ANA"},  {12, 262, "ANA"},
    {13, 263, "TEL"},  {14, 264, "PX6"},  {15, 265, "RC5"},  {16, 266, "INT"},  {17, 267, "SIN"},
    {18, 268, "SIN"},  {19, 269, "SIN"},  {20, 270, "SIN"},  {21, 271, "SIN"},  {22, 272, "BEO"},
    {23, 273, "B&O"},  {24, 274, "GAL"},  {25, 275, "CHR"},  {26, 276, "VFD"},  {27, 277, "BOS"},
    {28, 278, "BOS"},  {101, 67, "SOU"},  {102, 68, "SOU"},  {103, 69, "SOU"},  {111, 70, "RNO"},
    {112, 71, "RCO"},  {113, 72, "SSR"},  {114, 945, "SSD"}, {131, 74, "DIM"},  {140, 84, "DTR"},
    {151, 73, "ROB"},
};

constexpr Entry LoadTypes[] = {{0, 956, nullptr}, {76, 786, nullptr}, {79, 787, nullptr},
                               {83, 785, nullptr}};

constexpr int RegimeIds[] = {281, 282, 283, 284, 285, 286};
constexpr int NoActionIds[] = {917, 918};
constexpr int RepeatIds[] = {1047, 1048, 1049, 1050, 1051, 1052, 1053, 1054};
constexpr int RepeatNameWidth = 50;

template <std::size_t N, std::size_t M>
void fillNames(std::array<QString, N> &names, const Entry (&entries)[M], const Strings &strings)
{
    for (const Entry &e : entries)
        names[e.code] = strings.GetResString(e.id);
}

template <std::size_t M>
QString codeText(const Entry (&entries)[M], int code)
{
    for (const Entry &e : entries) {
        if (e.code == code)
            return e.codeText ? QString::fromLatin1(e.codeText) : QString();
    }
    return {};
}

} // namespace

NameTables FillNameTables(const Strings &strings)
{
    NameTables t;
    fillNames(t.FunctionTypeName, FunctionTypes, strings);
    fillNames(t.InterfaceTypeName, InterfaceTypes, strings);
    fillNames(t.LoadTypeName, LoadTypes, strings);
    for (const Entry &e : FunctionTypes)
        t.FunctionTypeCode[e.code] = codeText(FunctionTypes, e.code);
    for (const Entry &e : InterfaceTypes)
        t.InterfaceTypeCode[e.code] = codeText(InterfaceTypes, e.code);
    for (std::size_t i = 0; i < t.RegimeName.size(); ++i)
        t.RegimeName[i] = strings.GetResString(RegimeIds[i]);
    for (std::size_t i = 0; i < t.NoActionName.size(); ++i)
        t.NoActionName[i] = strings.GetResString(NoActionIds[i]);
    for (std::size_t i = 0; i < t.RepeatName.size(); ++i)
        t.RepeatName[i] =
            strings.GetResString(RepeatIds[i]).leftJustified(RepeatNameWidth, u' ', true);
    return t;
}

QString FunctionTypeCode(int code)
{
    return codeText(FunctionTypes, code);
}

QString InterfaceTypeCode(int code)
{
    return codeText(InterfaceTypes, code);
}

} // namespace quintara::settings
