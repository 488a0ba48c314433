#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace quintara::ui {

QStringList NameFilters(const QString &filter)
{
    // The description already names its patterns in brackets; the pattern part after it is
    // kept only where the description has none.
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (description.contains(u'('))
            result.append(description);
        else
            result.append(QStringLiteral("%1 (%2)").arg(description, pattern));
    }
    return result;
}

namespace {

std::optional<QString> run(QWidget *parent, const FileDialogRequest &request,
                           QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(mode);
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.setFileMode(request.folder ? QFileDialog::Directory
                       : mode == QFileDialog::AcceptOpen && request.fileMustExist
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    QFileDialog::Options options;
    if (request.folder)
        options |= QFileDialog::ShowDirsOnly;
    if (!request.overwritePrompt)
        options |= QFileDialog::DontConfirmOverwrite;
    // hideReadOnly needs nothing: Qt's dialogs have no read-only check box to hide.
    dialog.setOptions(options);
    if (!request.initialFolder.isEmpty())
        dialog.setDirectory(request.initialFolder);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString chosen = dialog.selectedFiles().constFirst();
        // The folder must exist for a name typed into the save dialog as well.
        if (!request.pathMustExist || QFileInfo(chosen).absoluteDir().exists())
            return chosen;
    }
}

} // namespace

std::optional<QString> QtFileDialogs::getOpenFileName(QWidget *parent,
                                                      const FileDialogRequest &request)
{
    return run(parent, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileDialogs::getSaveFileName(QWidget *parent,
                                                      const FileDialogRequest &request)
{
    return run(parent, request, QFileDialog::AcceptSave);
}

} // namespace quintara::ui
