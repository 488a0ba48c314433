#include "ui/QtLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include <array>

namespace quintara::ui {

namespace {

constexpr std::array<const char *, 7> LocaleNames = {"en_GB", "nl_NL", "fr_FR", "de_DE",
                                                     "es_ES", "it_IT", "pt_PT"};
// Qt ships Portuguese for Brazil only; it is closer than English.
constexpr std::array<const char *, 7> TranslationNames = {
    nullptr, "qtbase_nl", "qtbase_fr", "qtbase_de", "qtbase_es", "qtbase_it", "qtbase_pt_BR"};

struct KeyName {
    int languageIndex;
    const char *english;
    const char *name;
};
constexpr KeyName KeyNameTable[] = {{3, "Return", "Eingabe"}, {3, "Enter", "Eingabe"}};

} // namespace

QString KeyNames::translate(const char *context, const char *sourceText, const char *,
                            int) const
{
    if (qstrcmp(context, "QShortcut") != 0)
        return {};
    for (const KeyName &key : KeyNameTable)
        if (key.languageIndex == m_languageIndex && qstrcmp(sourceText, key.english) == 0)
            return QString::fromUtf8(key.name);
    return {};
}

QtLanguage::~QtLanguage()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
    if (m_keyNames)
        QCoreApplication::removeTranslator(m_keyNames.get());
}

QLocale QtLanguage::localeOf(int languageIndex)
{
    if (languageIndex < 0 || languageIndex >= int(LocaleNames.size()))
        languageIndex = 0;
    return QLocale(QString::fromLatin1(LocaleNames[std::size_t(languageIndex)]));
}

bool QtLanguage::apply(int languageIndex)
{
    if (languageIndex < 0 || languageIndex >= int(LocaleNames.size()))
        languageIndex = 0;
    if (languageIndex == m_languageIndex)
        return m_languageIndex == 0 || m_installed;
    m_languageIndex = languageIndex;
    QLocale::setDefault(localeOf(languageIndex));

    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
        m_installed = false;
    }
    if (m_keyNames)
        QCoreApplication::removeTranslator(m_keyNames.get());
    const char *name = TranslationNames[std::size_t(languageIndex)];
    if (!name)
        return true;
    if (!m_translator.load(QString::fromLatin1(name),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    m_installed = QCoreApplication::installTranslator(&m_translator);
    // Installed last, so asked first.
    m_keyNames = std::make_unique<KeyNames>(languageIndex);
    QCoreApplication::installTranslator(m_keyNames.get());
    return m_installed;
}

} // namespace quintara::ui
