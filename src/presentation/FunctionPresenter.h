#pragma once

#include "platform/Outcome.h"
#include "presentation/ValueFormat.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

namespace quintara::project {
struct ProjectModel;
}
namespace quintara::settings {
class Strings;
struct NameTables;
} // namespace quintara::settings
namespace quintara::clock {
struct ClockTable;
}

namespace quintara::ui {

// One entry of a drop-down list: its text and its item data (for functions the reference
// type × 256 + number).
struct ListEntry {
    QString text;
    int itemData = 0;

    friend bool operator==(const ListEntry &, const ListEntry &) = default;
};

// A drop-down list without the widget: the entries and the chosen one.
struct ItemList {
    QList<ListEntry> entries;
    int currentIndex = -1;

    void clear()
    {
        entries.clear();
        currentIndex = -1;
    }
    void add(QString text, int itemData) { entries.append(ListEntry{std::move(text), itemData}); }
};

// Selects the entry whose item data, masked, equals value; with several, the last one. Returns
// its index, or -1 (selection unchanged) when none matches.
int SelectByItemData(ItemList &list, int value, int mask = -1);

// How DescribeFunction and DescribeItem lay out their text.
namespace DescribeMode {
inline constexpr int NameOnly = 0;
inline constexpr int Code = 1;       // code, name
inline constexpr int Number = 2;     // number, name
inline constexpr int CodeNumber = 3; // code, number, name
} // namespace DescribeMode

// Lists and describes the installation's functions from the project model, in the language of
// the name tables. Nothing here changes the model.
class FunctionPresenter {
public:
    FunctionPresenter(const project::ProjectModel &model, const settings::NameTables &names,
                      const settings::Strings &strings, const ValueFormatter &values);

    // The function types a clock line may drive, with the sensor and audio groups 65 and 66.
    void FillFunctionTypeList(ItemList &list) const;
    // Adds the functions of a type (or group) to a list the caller has cleared. Detail 2 also
    // lists the finer audio and sensor functions.
    void FillFunctionList(ItemList &list, int type, int mode, bool tab, int detail) const;

    // The function references (type × 256 + number) of every function the clock line editor
    // lists for the project: what a clock line can drive in this installation.
    QSet<int> ListedFunctions() const;

    // One line for a function reference; trailing blanks removed.
    QString DescribeFunction(int type, int number, int mode, bool tab) const;
    // One line for an interface, module or name-list entry (kinds 0, 1, 2, 3, 21 to 24); the
    // name keeps its padding.
    QString DescribeItem(int kind, int number, int mode, bool tab) const;
    QString RelayName(int relay) const;
    QString DimmerName(int dimmer) const;
    // The editor's read-only preview of what a function does; lines end in CR LF.
    QString DescribeDefinition(int type, int number) const;
    // Whether the function has a name or text to show.
    bool IsFunctionDefined(int type, int number) const;

    // The type list entry that shows a stored function type: the sensor and audio groups for
    // their members, the type itself otherwise.
    static int TypeListEntryFor(int functionType);

    const ValueFormatter &values() const { return m_values; }
    const settings::Strings &strings() const { return m_strings; }

private:
    QString nameOf(int type, int number) const;
    QString describeOrBlank(int type, int number) const;
    QString levelText(int raw, int forType) const;
    QString secondsText(int value) const;
    // The parts of DescribeDefinition: outputs, the three kinds of mood, and the functions
    // that control others (messages, If-Then-Else, process functions, fans).
    QString describeOutput(int type, int number) const;
    QString describeMood(int type, int number) const;
    QString describeControl(int type, int number) const;

    const project::ProjectModel &m_model;
    const settings::NameTables &m_names;
    const settings::Strings &m_strings;
    const ValueFormatter &m_values;
};

// The question before the selected line is deleted, naming it by its level and function;
// nothing when no line is selected. On Yes the caller frees it with clock::DeleteSelectedLine.
std::optional<platform::Message> DeleteLineQuestion(const clock::ClockTable &table,
                                                    const FunctionPresenter &presenter);

} // namespace quintara::ui
