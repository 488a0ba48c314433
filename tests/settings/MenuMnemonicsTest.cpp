// Every menu of the main window can be walked from the keyboard in every language: each caption
// has one mnemonic, and no two entries of one menu share it.
#include "settings/FormTexts.h"
#include "settings/Strings.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace quintara::settings;

namespace {

// Each menu's controls.
const QList<QStringList> MainWindowMenus = {
    {"mmuFile", "mmuEdit", "mmuCom", "mnuhelp"},
    {"mmuFileOpenNBT", "mmuFileNew", "mmuFileOpenCLK", "mmuFileSave", "mmuFileSaveAs",
     "mmuFilePrint", "mmuFileExportPdf", "mmuFileExportCsv", "mmuFileCompare", "mmuClose"},
    {"mmuEditNew", "mmuEditProp", "mmuDelete", "mmuUndo", "mmuRedo", "mmuDuplicate", "mmuCopy",
     "mmuPaste"},
    {"mmuNieuw_0", "mmuNieuw_1", "mmuNieuw_2", "mmuNieuw_3", "mmuNieuw_4"},
    {"mmuComSend", "mmuComGet", "mmuComCompare"},
    {"mnuHelpIndex", "mnuHelpAbout"},
};

// The string id the main window shows on a menu control; 0 when it has none of its own.
int CaptionId(const QString &control)
{
    if (control == u"mmuCom")
        return CommunicationMenuText;
    for (const ControlText &c : FormTexts(QStringLiteral("FrmKlokken"))) {
        if (c.objectName() == control)
            return c.recipe.size() == 1 ? c.recipe[0].id : 0;
    }
    return 0;
}

TEST(MenuMnemonics, OnePerCaptionAndUniqueWithinEachMenuInEveryLanguage)
{
    const StringTable &table = StringTable::builtIn();
    QSet<QString> listed;
    for (int language = 0; language < LanguageCount; ++language) {
        const int offset = language * LanguageStep;
        for (const QStringList &menu : MainWindowMenus) {
            QSet<QChar> taken;
            for (const QString &control : menu) {
                listed.insert(control);
                const int id = CaptionId(control);
                ASSERT_GT(id, 0) << control.toStdString();
                const QString text = table.find(id + offset).value_or(QString());
                const std::string where =
                    QStringLiteral("%1, language %2: %3").arg(control).arg(language).arg(text).toStdString();
                // The characters marked with "&" ("&&" is a shown "&").
                QList<QChar> mnemonics;
                for (qsizetype i = 0; i + 1 < text.size(); ++i) {
                    if (text[i] == u'&' && text[++i] != u'&')
                        mnemonics.append(text[i].toCaseFolded());
                }
                ASSERT_EQ(mnemonics.size(), 1) << where;
                EXPECT_TRUE(mnemonics.front().isLetterOrNumber()) << where;
                EXPECT_FALSE(taken.contains(mnemonics.front())) << where << " repeats its key";
                taken.insert(mnemonics.front());
            }
        }
    }
    // A menu entry added to the form texts without being listed above would escape the check.
    for (const ControlText &c : FormTexts(QStringLiteral("FrmKlokken"))) {
        const bool menu = c.control.startsWith(u"mmu") || c.control.startsWith(u"mnu");
        EXPECT_TRUE(!menu || listed.contains(c.objectName())) << c.objectName().toStdString();
    }
}

} // namespace
