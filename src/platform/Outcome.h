#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quintara::platform {

// The icon a message carries: how serious it is.
enum class Icon { None, Information, Question, Exclamation, Critical };

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// A question for the user, as a library hands it to its front end: the operation stops before
// the step that needs the answer, and the front end asks and then takes that step or not.
struct Message {
    QString text;
    QString title;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    // Which button takes Enter; the first button of the set when not given.
    std::optional<Answer> defaultButton;
};

// The titles the program's messages carry.
inline const QString ProgramTitle = QStringLiteral("Quintara");

// One thing an operation has to tell its user. Libraries never show it: they return it, and
// each front end shows it its own way (a box in the window, a line on standard error, a record
// of unattended work).
struct Notice {
    // The string table's base id of the text (0: a text that has none, such as the operating
    // system's reason), and what fills its place holders.
    int textId = 0;
    QStringList arguments;
    // The whole text as it reads in the language in force when it was said.
    QString text;
    QString title = ProgramTitle;
    Icon icon = Icon::Exclamation;

    bool operator==(const Notice &) const = default;
};

using Notices = std::vector<Notice>;

// A text of the program's own, with no text id: the plain box under the program's title.
inline Notice PlainNotice(QString text)
{
    return Notice{0, {}, std::move(text), ProgramTitle, Icon::None};
}

// A failure the operating system reported (its description names the file): the critical box
// every file command shows.
inline Notice SystemFailureNotice(QString description)
{
    return Notice{0, {}, std::move(description), ProgramTitle, Icon::Critical};
}

// What an operation ended in: its status (an enum of the layer, or a code) and what it has to
// say, in the order it is to be said.
template <typename Status>
struct Outcome {
    Status status{};
    Notices notices;

    void tell(Notice notice) { notices.push_back(std::move(notice)); }
};

// Where a front end sends what operations tell. The window shows boxes, the command line writes
// to standard error, unattended work keeps a record.
class NoticeSink {
public:
    virtual ~NoticeSink() = default;
    virtual void tell(const Notice &notice) = 0;

    void tell(const Notices &notices)
    {
        for (const Notice &notice : notices)
            tell(notice);
    }
};

// The adapter for unattended work: keeps everything told, in order, for the caller to store.
class NoticeRecorder final : public NoticeSink {
public:
    using NoticeSink::tell;
    void tell(const Notice &notice) override { m_notices.push_back(notice); }

    const Notices &notices() const { return m_notices; }
    void clear() { m_notices.clear(); }

private:
    Notices m_notices;
};

} // namespace quintara::platform
