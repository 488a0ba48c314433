// Every menu of the main window can be walked from the keyboard in every language: each caption
// has one mnemonic, and no two entries of one menu share it.
#include "settings/FormTexts.h"
#include "settings/Strings.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace quintara::settings;

namespace {

// Each menu's controls with the id of their caption without its mnemonic (0: a caption of our own).
using Menu = QList<std::pair<QString, int>>;
// clang-format off
const QList<Menu> MainWindowMenus = {
    {{"mmuFile", 600}, {"mmuEdit", 610}, {"mmuCom", 615}, {"mnuhelp", 619}},
    {{"mmuFileOpenNBT", 991}, {"mmuFileNew", 601}, {"mmuFileOpenCLK", 604}, {"mmuFileSave", 605},
     {"mmuFileSaveAs", 606}, {"mmuFilePrint", 0}, {"mmuFileExportPdf", 0}, {"mmuFileExportCsv", 0},
     {"mmuFileCompare", 0}, {"mmuClose", 37}},
    {{"mmuEditNew", 32}, {"mmuEditProp", 610}, {"mmuDelete", 36}, {"mmuUndo", 0}, {"mmuRedo", 0},
     {"mmuDuplicate", 0}, {"mmuCopy", 0}, {"mmuPaste", 0}},
    {{"mmuNieuw_0", 1003}, {"mmuNieuw_1", 1005}, {"mmuNieuw_2", 1006}, {"mmuNieuw_3", 1007},
     {"mmuNieuw_4", 1004}},
    {{"mmuComSend", 616}, {"mmuComGet", 980}, {"mmuComCompare", 0}},
    {{"mnuHelpIndex", 620}, {"mnuHelpAbout", 621}},
};
// clang-format on

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
        for (const Menu &menu : MainWindowMenus) {
            QSet<QChar> taken;
            for (const auto &[control, plainText] : menu) {
                listed.insert(control);
                const int id = CaptionId(control);
                ASSERT_GT(id, 0) << control.toStdString();
                const QString text = table.find(id + offset).value_or(QString());
                const std::string where =
                    QStringLiteral("%1, language %2: %3").arg(control).arg(language).arg(text).toStdString();
                // The caption as shown ("&&" reads as "&") and the characters marked with "&".
                QString shown;
                QList<QChar> mnemonics;
                for (qsizetype i = 0; i < text.size(); ++i) {
                    if (text[i] == u'&' && i + 1 < text.size() && text[++i] != u'&')
                        mnemonics.append(text[i].toCaseFolded());
                    shown += text[i];
                }
                EXPECT_TRUE(plainText == 0 || shown == table.find(plainText + offset)) << where;
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
