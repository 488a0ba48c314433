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

} // namespace

QtLanguage::~QtLanguage()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
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
    const char *name = TranslationNames[std::size_t(languageIndex)];
    if (!name)
        return true;
    if (!m_translator.load(QString::fromLatin1(name),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    m_installed = QCoreApplication::installTranslator(&m_translator);
    return m_installed;
}

} // namespace quintara::ui
