#pragma once

#include "ui/FileDialogs.h"

#include <QList>

#include <gtest/gtest.h>

namespace quintara::testing {

// Answers the file dialogs from a queue (nothing = Cancel) and keeps what was asked. A dialog
// the test did not expect fails it.
class ScriptedFileDialogs final : public ui::FileDialogs {
public:
    struct Asked {
        bool save = false;
        ui::FileDialogRequest request;
    };

    void answer(std::optional<QString> path) { m_answers.append(std::move(path)); }

    std::optional<QString> getOpenFileName(QWidget *, const ui::FileDialogRequest &r) override
    {
        return next(false, r);
    }
    std::optional<QString> getSaveFileName(QWidget *, const ui::FileDialogRequest &r) override
    {
        return next(true, r);
    }

    QList<Asked> asked;

private:
    std::optional<QString> next(bool save, const ui::FileDialogRequest &request)
    {
        asked.append({save, request});
        if (m_answers.isEmpty()) {
            ADD_FAILURE() << "unexpected file dialog: " << request.title.toStdString();
            return std::nullopt;
        }
        return m_answers.takeFirst();
    }

    QList<std::optional<QString>> m_answers;
};

} // namespace quintara::testing
