#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace quintara::ui {

// What a file command asks of the open or save dialog.
struct FileDialogRequest {
    QString title;
    // Description and pattern pairs joined by "|": "Klok bestanden (*.clk) |*.clk|Alle ...".
    QString filter;
    QString initialName;
    // The folder the dialog starts in; the current one when empty.
    QString initialFolder;
    bool fileMustExist = false;
    bool pathMustExist = false;
    bool hideReadOnly = false;
    bool overwritePrompt = false;
    // A folder is chosen, not a file (the open dialog).
    bool folder = false;
};

// The common file dialogs, as a seam: tests answer them without a window.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> getOpenFileName(QWidget *parent,
                                                   const FileDialogRequest &request) = 0;
    virtual std::optional<QString> getSaveFileName(QWidget *parent,
                                                   const FileDialogRequest &request) = 0;
};

class QtFileDialogs final : public FileDialogs {
public:
    std::optional<QString> getOpenFileName(QWidget *parent,
                                           const FileDialogRequest &request) override;
    std::optional<QString> getSaveFileName(QWidget *parent,
                                           const FileDialogRequest &request) override;
};

// The "description|pattern|..." filter as the name filters of a Qt file dialog.
QStringList NameFilters(const QString &filter);

} // namespace quintara::ui
