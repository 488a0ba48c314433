#pragma once

#include "book/SiteBook.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace quintara::settings {
struct Settings;
class Strings;
} // namespace quintara::settings

namespace quintara::book {

// How many problems the health check finds in a clock table under a project (empty: none).
// The front end counts them: the check needs the project's functions as the editor lists them.
using ProblemCounter =
    std::function<int(const QByteArray &projectFile, const QByteArray &clockImage)>;

struct ImportedFiles {
    QStringList sites;   // added, by name
    int versions = 0;    // clock tables kept
    QStringList skipped; // one a file: its path, a colon and why
};

// Every project file under `folder` becomes a site named after it (without .nbt), with the clock
// files that belong to it as its versions, oldest first by modification time. A clock file
// belongs to a project in its own folder: to the only one there, or else to the one whose name
// its own name begins with. A site whose name is in the book already is skipped, as is every
// file that cannot be read as what it claims to be; each skip says why.
struct ImportSetup {
    QString user;
    const settings::Settings *settings = nullptr; // seeds the reader; the defaults if none
    const settings::Strings *strings = nullptr;   // words the reasons; required
    ProblemCounter countProblems;
};
Fetched<ImportedFiles> ImportFolder(SiteBook &book, const QString &folder,
                                    const ImportSetup &setup);

struct ExportedFiles {
    QStringList sites;
    QStringList files; // written, relative to the folder
};

// The sites named (every site when none is) as a folder a site, holding its project file and
// every version as a clock file whose modification time is the version's, with manifest.json
// describing the sites and their history: ImportFolder reads the folder back.
Fetched<ExportedFiles> ExportSites(const SiteBook &book, const QString &folder,
                                   const QStringList &names = {});

} // namespace quintara::book
