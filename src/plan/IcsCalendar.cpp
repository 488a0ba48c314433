#include "plan/IcsCalendar.h"

#include "platform/Files.h"

#include <QStringDecoder>

#include <libical/ical.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace quintara::plan {

namespace {

// libical frees a component tree recursively: a file nested deeper than any calendar needs is
// refused before it is parsed.
constexpr int MaxNesting = 8;
// Steps of one rule's occurrences: more than the years asked for could ever hold.
constexpr int MaxRuleSteps = 2000;
// An event longer than this is no holiday period.
constexpr qint64 MaxSpanDays = 366;
constexpr qsizetype MaxNameLength = 200;

struct ComponentFree {
    void operator()(icalcomponent *component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;
struct IteratorFree {
    void operator()(icalrecur_iterator *iterator) const { icalrecur_iterator_free(iterator); }
};
using Iterator = std::unique_ptr<icalrecur_iterator, IteratorFree>;

IcsCalendar Refused(IcsStatus status, QString text)
{
    IcsCalendar calendar;
    calendar.status = status;
    calendar.tell(platform::PlainNotice(std::move(text)));
    return calendar;
}

// Why libical should not be given the file: components nested deeper than any calendar needs
// (it frees them recursively), or an END before its BEGIN (it complains on standard error).
// A line that begins with a space or a tab continues the one before it.
std::optional<QString> BadStructure(const QByteArray &bytes)
{
    int depth = 0;
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line = QByteArrayView(bytes).sliced(at, end - at);
        at = end + 1;
        const auto begins = [&line](QByteArrayView word) {
            return line.size() >= word.size() &&
                   line.first(word.size()).compare(word, Qt::CaseInsensitive) == 0;
        };
        if (begins("BEGIN:") && ++depth > MaxNesting)
            return QStringLiteral("nested too deeply");
        if (begins("END:") && --depth < 0)
            return QStringLiteral("an END without its BEGIN");
    }
    return std::nullopt;
}

QDate DateOf(const icaltimetype &time)
{
    return QDate(time.year, time.month, time.day);
}

bool HasAny(const short *values, int size)
{
    return size > 0 && values[0] != ICAL_RECURRENCE_ARRAY_MAX;
}

// A yearly rule that gives DTSTART's month and day every year without end.
bool PlainYearly(const icalrecurrencetype &rule, const QDate &start)
{
    if (rule.interval > 1 || rule.count > 0 || !icaltime_is_null_time(rule.until) ||
        HasAny(rule.by_day, ICAL_BY_DAY_SIZE) || HasAny(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) ||
        HasAny(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) || HasAny(rule.by_set_pos, ICAL_BY_SETPOS_SIZE))
        return false;
    const auto onlyValue = [](const short *values, int size, int expected) {
        return !HasAny(values, size) || (values[0] == expected && (size < 2 || values[1] == ICAL_RECURRENCE_ARRAY_MAX));
    };
    // 29 February comes in leap years only: not the same date every year.
    return !(start.month() == 2 && start.day() == 29) &&
           onlyValue(rule.by_month, ICAL_BY_MONTH_SIZE, start.month()) &&
           onlyValue(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE, start.day());
}

class Reader {
public:
    Reader(int fromYear, int toYear) : m_from(fromYear, 1, 1), m_to(toYear, 12, 31) {}

    void calendar(icalcomponent *calendar)
    {
        for (icalcomponent *part = icalcomponent_get_first_component(calendar, ICAL_ANY_COMPONENT);
             part; part = icalcomponent_get_next_component(calendar, ICAL_ANY_COMPONENT)) {
            errors(part);
            switch (icalcomponent_isa(part)) {
            case ICAL_VEVENT_COMPONENT:
                event(part);
                break;
            case ICAL_VTIMEZONE_COMPONENT:
                break; // what dated times need; all-day dates have no zone
            default:
                m_result.skipped << QStringLiteral("%1: not an event")
                                        .arg(QString::fromLatin1(icalcomponent_kind_to_string(
                                            icalcomponent_isa(part))));
            }
        }
    }

    void errors(icalcomponent *component)
    {
        for (icalproperty *error =
                 icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY);
             error; error = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY))
            m_result.skipped << QStringLiteral("not understood: %1")
                                    .arg(QString::fromUtf8(icalproperty_get_xlicerror(error)));
    }

    IcsCalendar take()
    {
        std::stable_sort(m_result.days.begin(), m_result.days.end(),
                         [](const CalendarDays &a, const CalendarDays &b) {
                             return a.first < b.first;
                         });
        m_result.status = IcsStatus::Read;
        return std::move(m_result);
    }

private:
    void event(icalcomponent *event)
    {
        QString name = QString::fromUtf8(icalcomponent_get_summary(event)).simplified();
        if (name.isEmpty())
            name = QStringLiteral("(no name)");
        name.truncate(MaxNameLength);
        const auto skip = [&](const QString &why) {
            m_result.skipped << QStringLiteral("“%1”: %2").arg(name, why);
        };
        if (icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED)
            return skip(QStringLiteral("cancelled"));
        icalproperty *startProperty = icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY);
        if (!startProperty)
            return skip(QStringLiteral("no start date"));
        const icaltimetype start = icalproperty_get_dtstart(startProperty);
        const QDate first = DateOf(start);
        if (!first.isValid())
            return skip(QStringLiteral("no valid start date"));
        if (!start.is_date)
            return skip(QStringLiteral("not an all-day event (it begins at %1:%2)")
                            .arg(start.hour, 2, 10, QLatin1Char('0'))
                            .arg(start.minute, 2, 10, QLatin1Char('0')));
        qint64 span = 1;
        if (icalproperty *end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
            const QDate last = DateOf(icalproperty_get_dtend(end));
            if (!last.isValid() || last <= first)
                return skip(QStringLiteral("it ends before it begins"));
            span = first.daysTo(last);
        } else if (icalproperty *length =
                       icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
            const icaldurationtype duration = icalproperty_get_duration(length);
            if (duration.is_neg || duration.hours || duration.minutes || duration.seconds)
                return skip(QStringLiteral("its length is not whole days"));
            span = qint64(duration.weeks) * 7 + duration.days;
            if (span < 1)
                return skip(QStringLiteral("it ends before it begins"));
        }
        if (span > MaxSpanDays)
            return skip(QStringLiteral("longer than a year"));
        if (icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY) ||
            icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY))
            return skip(QStringLiteral("extra or excepted dates (RDATE, EXDATE) are not planned"));

        icalproperty *ruleProperty = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
        if (!ruleProperty)
            return once(name, first, span, skip);
        if (icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY))
            return skip(QStringLiteral("more than one repetition rule"));
        const icalrecurrencetype rule = icalproperty_get_rrule(ruleProperty);
        if (rule.freq != ICAL_YEARLY_RECURRENCE)
            return skip(QStringLiteral("repeats %1: only yearly repetition is planned")
                            .arg(QString::fromLatin1(icalrecur_freq_to_string(rule.freq))
                                     .toLower()));
        if (rule.rscale && *rule.rscale)
            return skip(QStringLiteral("repeats by another calendar than the Gregorian"));
        if (PlainYearly(rule, first)) {
            m_result.days.append({first, first.addDays(span - 1), name, true});
            return;
        }
        occurrences(name, rule, start, span, skip);
    }

    template <typename Skip>
    void once(const QString &name, const QDate &first, qint64 span, const Skip &skip)
    {
        const QDate last = first.addDays(span - 1);
        if (last < m_from || first > m_to)
            return skip(QStringLiteral("%1 lies outside %2–%3")
                            .arg(first.toString(Qt::ISODate))
                            .arg(m_from.year())
                            .arg(m_to.year()));
        m_result.days.append({first, last, name, false});
    }

    template <typename Skip>
    void occurrences(const QString &name, const icalrecurrencetype &rule,
                     const icaltimetype &start, qint64 span, const Skip &skip)
    {
        const Iterator iterator(icalrecur_iterator_new(rule, start));
        if (!iterator)
            return skip(QStringLiteral("a repetition rule that cannot be followed"));
        int found = 0;
        for (int step = 0; step < MaxRuleSteps; ++step) {
            const icaltimetype next = icalrecur_iterator_next(iterator.get());
            if (icaltime_is_null_time(next))
                break;
            const QDate first = DateOf(next);
            if (!first.isValid() || first > m_to)
                break;
            if (first.addDays(span - 1) < m_from)
                continue;
            m_result.days.append({first, first.addDays(span - 1), name, false});
            ++found;
        }
        if (found == 0)
            skip(QStringLiteral("no date of its repetition lies in %1–%2")
                     .arg(m_from.year())
                     .arg(m_to.year()));
    }

    QDate m_from;
    QDate m_to;
    IcsCalendar m_result;
};

} // namespace

IcsCalendar ReadIcs(const QByteArray &bytes, int fromYear, int toYear)
{
    if (bytes.size() > MaxIcsFileSize)
        return Refused(IcsStatus::NotACalendar,
                       QStringLiteral("larger than %1 bytes: no calendar of days off")
                           .arg(MaxIcsFileSize));
    QStringDecoder utf8(QStringDecoder::Utf8);
    // Decoded only to find out whether it decodes.
    const QString text = utf8(bytes);
    if (utf8.hasError() || bytes.contains('\0'))
        return Refused(IcsStatus::NotACalendar,
                       QStringLiteral("not UTF-8 text, as an iCalendar file is"));
    if (const std::optional<QString> bad = BadStructure(bytes))
        return Refused(IcsStatus::NotACalendar, *bad);
    const Component root(icalparser_parse_string(bytes.constData()));
    if (!root)
        return Refused(IcsStatus::NotACalendar, QStringLiteral("not an iCalendar file"));

    Reader reader(fromYear, toYear);
    int calendars = 0;
    const icalcomponent_kind kind = icalcomponent_isa(root.get());
    if (kind == ICAL_VCALENDAR_COMPONENT) {
        reader.errors(root.get());
        reader.calendar(root.get());
        ++calendars;
    } else if (kind == ICAL_XROOT_COMPONENT) {
        for (icalcomponent *calendar =
                 icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
             calendar;
             calendar = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
            reader.errors(calendar);
            reader.calendar(calendar);
            ++calendars;
        }
    }
    if (calendars == 0)
        return Refused(IcsStatus::NotACalendar, QStringLiteral("not an iCalendar file"));
    return reader.take();
}

IcsCalendar ReadIcsFile(const QString &path, int fromYear, int toYear)
{
    const platform::SmallFile file = platform::ReadRegularFile(path, MaxIcsFileSize);
    if (!file.problem.isEmpty()) {
        IcsCalendar calendar;
        calendar.status = IcsStatus::CannotRead;
        calendar.tell(platform::SystemFailureNotice(platform::FileFailure(path, file.problem)));
        return calendar;
    }
    IcsCalendar calendar = ReadIcs(file.bytes, fromYear, toYear);
    for (platform::Notice &notice : calendar.notices)
        notice.text = platform::FileFailure(path, notice.text);
    return calendar;
}

} // namespace quintara::plan
