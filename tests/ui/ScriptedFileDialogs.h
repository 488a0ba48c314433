#pragma once

#include "ui/FileDialogs.h"

#include <QList>

#include <gtest/gtest.h>

namespace quintara::testing {

// Answers the file dialogs from a queue (nothing = Cancel) and keeps what was asked. A dialog
// the test did not expect fails it.
class ScriptedFileDialogs final : public ui::FileDialogs {
public:
    using Request = ui::FileDialogRequest;
    using Path = std::optional<QString>;
    struct Asked { bool save = false; Request request; };
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

} // namespace quintara::testing
