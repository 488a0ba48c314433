#pragma once

#include <QTranslator>

#include <memory>

namespace quintara::ui {

// Key names where Qt's translation keeps the English word: the German menus showed the Enter
// key as "Return".
class KeyNames : public QTranslator {
public:
    explicit KeyNames(int languageIndex) : m_languageIndex(languageIndex) {}
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText,
                      const char *disambiguation = nullptr, int n = -1) const override;

private:
    int m_languageIndex;
};

// Qt's own texts (the buttons of message boxes, the file dialogs) and the default locale (day
// and month names) in the program's language, so that no window mixes two languages.
class QtLanguage {
public:
    QtLanguage() = default;
    QtLanguage(const QtLanguage &) = delete;
    QtLanguage &operator=(const QtLanguage &) = delete;
    ~QtLanguage();

    // languageIndex: 0 English, 1 Dutch, 2 French, 3 German, 4 Spanish, 5 Italian, 6 Portuguese.
    // Answers whether Qt's translation was found (English needs none).
    bool apply(int languageIndex);
    int languageIndex() const { return m_languageIndex; }

    static QLocale localeOf(int languageIndex);

private:
    QTranslator m_translator;
    std::unique_ptr<KeyNames> m_keyNames;
    bool m_installed = false;
    int m_languageIndex = -1;
};

} // namespace quintara::ui
