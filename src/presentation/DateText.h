#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quintara::settings {
class Strings;
}

namespace quintara::ui {

// The one way the window, its lists and its prints write a date in a language: day, month and
// the whole year, with the separator that language's readers expect ("07-12-2026" in Dutch,
// "07.12.2026" in German, "07/12/2026" otherwise), and times as "06:30".
class DateText {
public:
    explicit DateText(QLocale::Language language = QLocale().language());
    // The language of the program's texts.
    static DateText of(const settings::Strings &strings);

    QChar separator() const { return m_separator; }
    // For QDate::toString and date editors: "dd-MM-yyyy".
    QString format() const;
    QString date(QDate date) const;
    // "07-12-2026 06:30".
    QString dateTime(const QDateTime &moment) const;
    // The short day name first ("ma 07-12-2026"), in the given locale's words.
    QString dayAndDate(QDate date, const QLocale &locale = QLocale()) const;
    // "07-12", for where the year goes without saying.
    QString dayAndMonth(QDate date) const;
    // Numbers as they stand, also where they name no real date (a damaged line shows what it
    // holds).
    QString parts(int day, int month, int year) const;

private:
    QChar m_separator;
};

} // namespace quintara::ui
