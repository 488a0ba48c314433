// Every menu of the main window can be walked from the keyboard in every language: each caption
// has one mnemonic, and no two entries of one menu share it.
#include "settings/FormTexts.h"
#include "settings/Strings.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace quintara::settings;

namespace {

struct Entry {
    const char *control; // object name of the menu or action
    int plainText;       // the caption without its mnemonic; 0 for captions of our own
};

struct Menu {
    const char *name;
    QList<Entry> entries;
};

const QList<Menu> &MainWindowMenus()
{
    static const QList<Menu> menus = {
        {"menu bar", {{"mmuFile", 600}, {"mmuEdit", 610}, {"mmuCom", 615}, {"mnuhelp", 619}}},
        {"File",
         {{"mmuFileOpenNBT", 991},
          {"mmuFileNew", 601},
          {"mmuFileOpenCLK", 604},
          {"mmuFileSave", 605},
          {"mmuFileSaveAs", 606},
          {"mmuFilePrint", 0},
          {"mmuFileExportPdf", 0},
          {"mmuFileExportCsv", 0},
          {"mmuFileCompare", 0},
          {"mmuClose", 37}}},
        {"Edit",
         {{"mmuEditNew", 32},
          {"mmuEditProp", 610},
          {"mmuDelete", 36},
          {"mmuUndo", 0},
          {"mmuRedo", 0},
          {"mmuDuplicate", 0},
          {"mmuCopy", 0},
          {"mmuPaste", 0}}},
        {"Edit > New",
         {{"mmuNieuw_0", 1003},
          {"mmuNieuw_1", 1005},
          {"mmuNieuw_2", 1006},
          {"mmuNieuw_3", 1007},
          {"mmuNieuw_4", 1004}}},
        {"Communication", {{"mmuComSend", 616}, {"mmuComGet", 980}, {"mmuComCompare", 0}}},
        {"Help", {{"mnuHelpIndex", 620}, {"mnuHelpAbout", 621}}},
    };
    return menus;
}

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

struct Caption {
    QString shown;          // without the markers, "&&" read as "&"
    QList<QChar> mnemonics; // the characters marked with "&", case-folded
};

Caption ReadCaption(const QString &text)
{
    Caption caption;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != u'&')
                caption.mnemonics.append(text[i].toCaseFolded());
        }
        caption.shown += text[i];
    }
    return caption;
}

TEST(MenuMnemonics, OnePerCaptionAndUniqueWithinEachMenuInEveryLanguage)
{
    const StringTable &table = StringTable::builtIn();
    for (int language = 0; language < LanguageCount; ++language) {
        const int offset = language * LanguageStep;
        for (const Menu &menu : MainWindowMenus()) {
            QSet<QChar> taken;
            for (const Entry &entry : menu.entries) {
                const QString control = QString::fromLatin1(entry.control);
                const int id = CaptionId(control);
                ASSERT_GT(id, 0) << entry.control;
                const std::optional<QString> text = table.find(id + offset);
                ASSERT_TRUE(text.has_value()) << "id " << id << " language " << language;

                const Caption caption = ReadCaption(*text);
                const QString where = QStringLiteral("%1 in %2, language %3: \"%4\"")
                                          .arg(control, QString::fromLatin1(menu.name))
                                          .arg(language)
                                          .arg(*text);
                if (entry.plainText > 0) {
                    EXPECT_EQ(caption.shown, table.find(entry.plainText + offset))
                        << where.toStdString();
                }
                ASSERT_EQ(caption.mnemonics.size(), 1) << where.toStdString();
                const QChar key = caption.mnemonics.front();
                EXPECT_TRUE(key.isLetterOrNumber()) << where.toStdString();
                EXPECT_FALSE(taken.contains(key)) << where.toStdString() << " repeats its key";
                taken.insert(key);
            }
        }
    }
}

// A menu entry added to the form texts without being listed above would escape the check.
TEST(MenuMnemonics, EveryMenuControlOfTheMainWindowIsChecked)
{
    QSet<QString> listed;
    for (const Menu &menu : MainWindowMenus()) {
        for (const Entry &entry : menu.entries)
            listed.insert(QString::fromLatin1(entry.control));
    }
    for (const ControlText &c : FormTexts(QStringLiteral("FrmKlokken"))) {
        if (c.control.startsWith(u"mmu") || c.control.startsWith(u"mnu")) {
            EXPECT_TRUE(listed.contains(c.objectName())) << c.objectName().toStdString();
        }
    }
}

} // namespace
