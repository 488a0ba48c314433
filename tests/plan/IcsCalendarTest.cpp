#include "plan/IcsCalendar.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace quintara::plan {
namespace {

QByteArray Calendar(const QByteArray &components)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Days//EN\r\n" + components +
           "END:VCALENDAR\r\n";
}

QByteArray Event(const QByteArray &lines)
{
    return "BEGIN:VEVENT\r\nUID:x\r\n" + lines + "END:VEVENT\r\n";
}

TEST(IcsCalendar, AllDayEventsOnceOrYearlyAreReadAndEverythingElseIsListedAsSkipped)
{
    const QByteArray file = Calendar(
        Event("SUMMARY:Autumn holiday\r\nDTSTART;VALUE=DATE:20271016\r\n"
              "DTEND;VALUE=DATE:20271025\r\n") +
        Event("SUMMARY:Company closure\r\nDTSTART;VALUE=DATE:20261224\r\n"
              "DTEND;VALUE=DATE:20261227\r\nRRULE:FREQ=YEARLY\r\n") +
        Event("SUMMARY:Stocktaking\r\nDTSTART;VALUE=DATE:20270104\r\nDURATION:P1W\r\n") +
        Event("SUMMARY:Fair\r\nDTSTART;VALUE=DATE:20261126\r\n"
              "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=4TH\r\n") +
        Event("SUMMARY:Leap day\r\nDTSTART;VALUE=DATE:20280229\r\nRRULE:FREQ=YEARLY\r\n") +
        Event("SUMMARY:Meeting\r\nDTSTART:20270105T093000\r\nDTEND:20270105T103000\r\n") +
        Event("SUMMARY:Cleaning\r\nDTSTART;VALUE=DATE:20270106\r\nRRULE:FREQ=WEEKLY\r\n") +
        Event("SUMMARY:Open day\r\nDTSTART;VALUE=DATE:20270301\r\nRRULE:FREQ=YEARLY\r\n"
              "EXDATE;VALUE=DATE:20280301\r\n") +
        Event("SUMMARY:Old party\r\nDTSTART;VALUE=DATE:20190501\r\n") +
        Event("SUMMARY:Called off\r\nSTATUS:CANCELLED\r\nDTSTART;VALUE=DATE:20270501\r\n") +
        Event("SUMMARY:Backwards\r\nDTSTART;VALUE=DATE:20270502\r\n"
              "DTEND;VALUE=DATE:20270501\r\n") +
        "BEGIN:VTODO\r\nUID:t\r\nSUMMARY:Order parts\r\nEND:VTODO\r\n");

    const IcsCalendar read = ReadIcs(file, 2026, 2028);
    ASSERT_TRUE(read.read());
    const QList<CalendarDays> expected{
        {QDate(2026, 11, 26), QDate(2026, 11, 26), QStringLiteral("Fair"), false},
        {QDate(2026, 12, 24), QDate(2026, 12, 26), QStringLiteral("Company closure"), true},
        {QDate(2027, 1, 4), QDate(2027, 1, 10), QStringLiteral("Stocktaking"), false},
        {QDate(2027, 10, 16), QDate(2027, 10, 24), QStringLiteral("Autumn holiday"), false},
        {QDate(2027, 11, 25), QDate(2027, 11, 25), QStringLiteral("Fair"), false},
        {QDate(2028, 2, 29), QDate(2028, 2, 29), QStringLiteral("Leap day"), false},
        {QDate(2028, 11, 23), QDate(2028, 11, 23), QStringLiteral("Fair"), false},
    };
    EXPECT_EQ(read.days, expected);
    EXPECT_EQ(read.skipped,
              (QStringList{
                  QStringLiteral("“Meeting”: not an all-day event (it begins at 09:30)"),
                  QStringLiteral("“Cleaning”: repeats weekly: only yearly repetition is planned"),
                  QStringLiteral("“Open day”: extra or excepted dates (RDATE, EXDATE) are not "
                                 "planned"),
                  QStringLiteral("“Old party”: 2019-05-01 lies outside 2026–2028"),
                  QStringLiteral("“Called off”: cancelled"),
                  QStringLiteral("“Backwards”: it ends before it begins"),
                  QStringLiteral("VTODO: not an event"),
              }));
}

TEST(IcsCalendar, WhatIsNoCalendarIsRefusedWithTheReason)
{
    const QByteArray oneDay = Calendar(Event("DTSTART;VALUE=DATE:20270101\r\n"));
    QByteArray deep = oneDay;
    for (int i = 0; i < 12; ++i)
        deep.insert(deep.indexOf("BEGIN:VEVENT"), "BEGIN:X-NEST\r\n");
    const std::pair<QByteArray, QString> cases[] = {
        {"Kerstmis \xe9\xe9n dag", QStringLiteral("not UTF-8 text, as an iCalendar file is")},
        {QByteArray("BEGIN:VCALENDAR\r\n\0\r\nEND:VCALENDAR\r\n", 33),
         QStringLiteral("not UTF-8 text, as an iCalendar file is")},
        {"hello, world\n", QStringLiteral("not an iCalendar file")},
        {deep, QStringLiteral("nested too deeply")},
        {"END:VEVENT\r\n" + oneDay, QStringLiteral("an END without its BEGIN")},
        {QByteArray(MaxIcsFileSize + 1, ' '),
         QStringLiteral("larger than 4194304 bytes: no calendar of days off")},
    };
    for (const auto &[bytes, why] : cases) {
        const IcsCalendar read = ReadIcs(bytes, 2026, 2075);
        EXPECT_EQ(std::tuple(read.status, read.notices.size(), read.notices.at(0).text),
                  std::tuple(IcsStatus::NotACalendar, 1U, why));
    }
    // An event without a name still counts, under a name that says so.
    EXPECT_EQ(ReadIcs(oneDay, 2026, 2075).days.value(0).name, QStringLiteral("(no name)"));
}

TEST(IcsCalendar, AFileIsReadOnlyWhenItIsARegularFile)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("days.ics"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const IcsCalendar read = ReadIcsFile(fifo, 2026, 2075);
    EXPECT_EQ(read.status, IcsStatus::CannotRead);
    ASSERT_EQ(read.notices.size(), 1U);
    EXPECT_TRUE(read.notices.front().text.startsWith(fifo)) << read.notices.front().text.toStdString();
}

} // namespace
} // namespace quintara::plan
