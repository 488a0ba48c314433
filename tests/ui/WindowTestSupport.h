#pragma once

// What the tests of the main window and of its parts share: a program on a fixed clock whose
// settings live in a fresh folder, and lines and points of the week.
#include "clock/ClockFile.h"
#include "presentation/ClockLineFilter.h"
#include "presentation/ClockLineListModel.h"
#include "tests/clock/TestLines.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/VirtualPump.h"
#include "ui/FileDialogs.h"
#include "ui/LineListView.h"
#include "ui/Mnemonics.h"
#include "ui/Program.h"

#include <QTest>
#include <QtWidgets>

#include <gtest/gtest.h>

namespace quintara::testing::window {

// Answers the file dialogs from a queue (nothing = Cancel) and keeps what was asked. A dialog
// the test did not expect fails it.
class ScriptedFileDialogs final : public ui::FileDialogs {
public:
    using Request = ui::FileDialogRequest;
    using Path = std::optional<QString>;
    struct Asked {
        bool save = false;
        Request request;
    };
    void answer(Path path) { m_answers.append(std::move(path)); }
    Path getOpenFileName(QWidget *, const Request &r) override { return next(false, r); }
    Path getSaveFileName(QWidget *, const Request &r) override { return next(true, r); }
    QList<Asked> asked;

private:
    Path next(bool save, const Request &request)
    {
        asked.append({save, request});
        if (m_answers.isEmpty())
            ADD_FAILURE() << "unexpected file dialog: " << request.title.toStdString();
        return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
    }
    QList<Path> m_answers;
};

// "s=&Send" for every control of the window that takes an Alt+letter (buttons, tabs, labelled
// fields, the menu bar's menus), sorted, so that clashes and controls without one stand side by
// side.
inline QStringList AltLetters(QWidget &window)
{
    QStringList letters;
    const auto add = [&](const QString &text) { letters << ui::MnemonicOf(text) + u'=' + text; };
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (w->window() != &window)
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(w);
            button && !qobject_cast<QToolButton *>(w) && !button->text().isEmpty())
            add(button->text());
        if (auto *label = qobject_cast<QLabel *>(w); label && label->buddy())
            add(label->text());
        if (auto *tabs = qobject_cast<QTabBar *>(w)) {
            for (int tab = 0; tab < tabs->count(); ++tab)
                add(tabs->tabText(tab));
        }
        if (auto *bar = qobject_cast<QMenuBar *>(w)) {
            for (const QAction *menu : bar->actions())
                add(menu->text());
        }
    }
    letters.sort();
    return letters;
}
// Letters two controls share, and controls without one ("=Text").
inline QStringList AltLetterFaults(QWidget &window)
{
    const QStringList letters = AltLetters(window);
    QStringList faults;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        if (letters[i].front() == u'=' || (i > 0 && letters[i].front() == letters[i - 1].front()))
            faults << letters[i];
    }
    return faults;
}

// Wednesday 9 December 2026; the current week begins on Monday the 7th.
inline const QDate Today(2026, 12, 9);
inline const QDate Monday(2026, 12, 7);

// The tests' main() sees to it that QUINTARA_SOURCE_DIR names the source tree.
inline QString SourceFile(const char *path)
{
    return QDir(qEnvironmentVariable("QUINTARA_SOURCE_DIR")).filePath(QLatin1String(path));
}
inline QString DemoProject()
{
    return SourceFile("examples/demo.nbt");
}
inline QString DemoClockFile()
{
    return SourceFile("examples/demo.clk");
}

inline clock::ClockLine Line(QDate date, int hour, int minute, int table, int unit, int count,
                             int type = 1, int number = 1, int level = 255)
{
    auto line = clock::testing::Line(date, hour, minute, table, unit, count, level, number);
    line.FunctionType = quint8(type);
    return line;
}

// Where an occurrence lies on the week area drawn 1:1.
inline QPoint At(int row, int hour, int minute)
{
    return QPoint(qRound(20 + 20 * hour + minute / 3.0), 40 + 70 * row);
}

// A child by its object name; a missing one fails the test.
template <typename T = QWidget> T *Named(const QObject *parent, const QString &name)
{
    T *child = parent->findChild<T *>(name);
    EXPECT_NE(child, nullptr) << name.toStdString();
    return child;
}

// The left button pressed at `from`, moved through the points and let go at the last.
inline void Drag(QWidget *on, QPoint from, std::initializer_list<QPoint> through = {})
{
    QTest::mousePress(on, Qt::LeftButton, {}, from);
    QPoint last = from;
    for (const QPoint at : through)
        QTest::mouseMove(on, last = at);
    QTest::mouseRelease(on, Qt::LeftButton, {}, last);
}

// A click on the row of a line in the list of all lines.
inline void ClickLine(const ui::LineListView &list, int line, Qt::KeyboardModifiers keys = {})
{
    const auto cell =
        list.filter()->index(list.filter()->rowOfLine(line), ui::ClockLineListModel::TimeColumn);
    QTest::mouseClick(list.tableView()->viewport(), Qt::LeftButton, keys,
                      list.tableView()->visualRect(cell).center());
}

inline QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QString WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return path;
}

// A program whose settings live in a fresh folder, with a project of model 0 whose workdays
// are Monday to Friday.
struct ProgramTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FixedClock clock{QDateTime(Today, QTime(10, 0))};
    VirtualPump pump;
    ScriptedFileDialogs dialogs;
    QString ini = dir.filePath(QStringLiteral("Ventora.ini"));
    ui::Program program{prompter, clock, pump, settings::ProfileFile(ini)};

    void useModelZero()
    {
        project::NewProject(program.project, 19200, 0);
        project::SelectModel(program.project, 0, program.strings);
        for (int day = 0; day < 7; ++day)
            program.project.System.Options[project::SystemOption::FirstWorkday + day] = day < 5;
        clock::ApplyModel(program.clockTable, program.project);
        program.clockTable.ClockFileVersion = 1;
    }
    void put(int i, const clock::ClockLine &l) { program.clockTable.Lines[std::size_t(i)] = l; }
    QString lastMessage() const { return prompter.shown.value(prompter.shown.size() - 1).text; }
    int selected() const { return program.clockTable.SelectedLine; }
};

// Acts on each modal dialog of type T (of that object name, if one is given) that comes up while
// it lives, `times` times at most, and counts them; one still open after the act is closed.
template <typename T = QWidget> class WhenModal {
    QTimer m_timer;

public:
    explicit WhenModal(std::function<void(T &)> act, int times = 1,
                       std::optional<QString> name = std::nullopt)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, act, times, name] {
            auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            if (!dialog || seen == times || (name && dialog->objectName() != *name))
                return;
            ++seen;
            m_timer.stop(); // an act that spins an event loop is not begun again meanwhile
            act(*dialog);
            if (dialog->isVisible())
                dialog->close();
            m_timer.start(5);
        });
        m_timer.start(5);
    }
    int seen = 0;
};

// Presses a button of each modal form of that name, as above; a form without the button (or
// given none) is closed.
struct ModalAnswer : WhenModal<> {
    ModalAnswer(const QString &form, const QString &button, int times = 1)
        : WhenModal(
              [button](QWidget &dialog) {
                  if (auto *b = dialog.findChild<QAbstractButton *>(button); b && !button.isEmpty())
                      b->click();
              },
              times, form)
    {
    }
};

} // namespace quintara::testing::window
