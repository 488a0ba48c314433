#include "plan/Holidays.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <span>

namespace quintara::plan {

namespace {

// The earliest year whose rules are kept here.
constexpr int FirstRuleYear = 2000;
constexpr int LastYear = 9999;
constexpr int LanguageCount = 7;

// A holiday's name in the program's languages, by index: English, Dutch, French, German,
// Spanish, Italian, Portuguese. An empty name falls back to English.
struct HolidayName {
    const char *key;
    std::array<const char *, LanguageCount> names;
};

// clang-format off
constexpr HolidayName Names[] = {
    {"newYear", {"New Year's Day", "Nieuwjaarsdag", "Jour de l'an", "Neujahr", "Año Nuevo", "Capodanno", "Ano Novo"}},
    {"epiphany", {"Epiphany", "Driekoningen", "Épiphanie", "Heilige Drei Könige", "Epifanía del Señor", "Epifania", "Epifania"}},
    {"stBrigidsDay", {"St Brigid's Day", "Sint-Brigidadag", "Sainte-Brigitte", "St.-Brigida-Tag", "Día de Santa Brígida", "Santa Brigida", "Dia de Santa Brígida"}},
    {"stPatricksDay", {"St Patrick's Day", "Sint-Patricksdag", "Saint-Patrick", "St. Patrick's Day", "Día de San Patricio", "San Patrizio", "Dia de São Patrício"}},
    {"goodFriday", {"Good Friday", "Goede Vrijdag", "Vendredi saint", "Karfreitag", "Viernes Santo", "Venerdì santo", "Sexta-feira Santa"}},
    {"easterSunday", {"Easter Sunday", "Eerste paasdag", "Pâques", "Ostersonntag", "Domingo de Pascua", "Pasqua", "Páscoa"}},
    {"easterMonday", {"Easter Monday", "Tweede paasdag", "Lundi de Pâques", "Ostermontag", "Lunes de Pascua", "Lunedì dell'Angelo", "Segunda-feira de Páscoa"}},
    {"queensDay", {"Queen's Day", "Koninginnedag", "Fête de la Reine", "Königinnentag", "Día de la Reina", "Festa della Regina", "Dia da Rainha"}},
    {"kingsDay", {"King's Day", "Koningsdag", "Fête du Roi", "Königstag", "Día del Rey", "Festa del Re", "Dia do Rei"}},
    {"liberationDay", {"Liberation Day", "Bevrijdingsdag", "Fête de la Libération", "Tag der Befreiung", "Día de la Liberación", "Festa della Liberazione", "Dia da Libertação"}},
    {"freedomDay", {"Freedom Day", "Dag van de Vrijheid", "Jour de la Liberté", "Tag der Freiheit", "Día de la Libertad", "Festa della Libertà", "Dia da Liberdade"}},
    {"labourDay", {"Labour Day", "Dag van de Arbeid", "Fête du Travail", "Tag der Arbeit", "Fiesta del Trabajo", "Festa del Lavoro", "Dia do Trabalhador"}},
    {"victoryDay", {"Victory in Europe Day", "Dag van de Overwinning", "Victoire 1945", "Tag des Sieges", "Día de la Victoria", "Giorno della Vittoria", "Dia da Vitória"}},
    {"europeDay", {"Europe Day", "Dag van Europa", "Journée de l'Europe", "Europatag", "Día de Europa", "Festa dell'Europa", "Dia da Europa"}},
    {"ascensionDay", {"Ascension Day", "Hemelvaartsdag", "Ascension", "Christi Himmelfahrt", "Ascensión", "Ascensione", "Ascensão"}},
    {"whitSunday", {"Whit Sunday", "Eerste pinksterdag", "Pentecôte", "Pfingstsonntag", "Domingo de Pentecostés", "Pentecoste", "Domingo de Pentecostes"}},
    {"whitMonday", {"Whit Monday", "Tweede pinksterdag", "Lundi de Pentecôte", "Pfingstmontag", "Lunes de Pentecostés", "Lunedì di Pentecoste", "Segunda-feira de Pentecostes"}},
    {"corpusChristi", {"Corpus Christi", "Sacramentsdag", "Fête-Dieu", "Fronleichnam", "Corpus Christi", "Corpus Domini", "Corpo de Deus"}},
    {"earlyMayBankHoliday", {"Early May bank holiday", "", "", "", "", "", ""}},
    {"springBankHoliday", {"Spring bank holiday", "", "", "", "", "", ""}},
    {"summerBankHoliday", {"Summer bank holiday", "", "", "", "", "", ""}},
    {"mayDay", {"May Day", "", "", "", "", "", ""}},
    {"juneHoliday", {"June Holiday", "", "", "", "", "", ""}},
    {"augustHoliday", {"August Holiday", "", "", "", "", "", ""}},
    {"octoberHoliday", {"October Holiday", "", "", "", "", "", ""}},
    {"republicDay", {"Republic Day", "Dag van de Republiek", "Fête de la République", "Tag der Republik", "Fiesta de la República", "Festa della Repubblica", "Dia da República"}},
    {"portugalDay", {"Portugal Day", "Dag van Portugal", "Jour du Portugal", "Tag Portugals", "Día de Portugal", "Giornata del Portogallo", "Dia de Portugal, de Camões e das Comunidades Portuguesas"}},
    {"nationalDay", {"National Day", "Nationale feestdag", "Fête nationale", "Nationalfeiertag", "Fiesta Nacional", "Festa nazionale", "Dia Nacional"}},
    {"swissNationalDay", {"Swiss National Day", "Zwitserse nationale feestdag", "Fête nationale suisse", "Bundesfeiertag", "Fiesta nacional suiza", "Festa nazionale svizzera", "Dia Nacional da Suíça"}},
    {"assumptionDay", {"Assumption Day", "Onze-Lieve-Vrouw-Hemelvaart", "Assomption", "Mariä Himmelfahrt", "Asunción de la Virgen", "Assunzione di Maria", "Assunção de Nossa Senhora"}},
    {"germanUnityDay", {"German Unity Day", "Dag van de Duitse Eenheid", "Jour de l'Unité allemande", "Tag der Deutschen Einheit", "Día de la Unidad Alemana", "Giorno dell'unità tedesca", "Dia da Unidade Alemã"}},
    {"republicImplantation", {"Implantation of the Republic", "Uitroeping van de Republiek", "Proclamation de la République", "Ausrufung der Republik", "Implantación de la República", "Proclamazione della Repubblica", "Implantação da República"}},
    {"stFrancisDay", {"St Francis of Assisi", "Sint-Franciscus van Assisi", "Saint François d'Assise", "Franz von Assisi", "San Francisco de Asís", "San Francesco d'Assisi", "São Francisco de Assis"}},
    {"reformationDay", {"Reformation Day", "Hervormingsdag", "Jour de la Réformation", "Reformationstag", "Día de la Reforma", "Festa della Riforma", "Dia da Reforma"}},
    {"allSaintsDay", {"All Saints' Day", "Allerheiligen", "Toussaint", "Allerheiligen", "Todos los Santos", "Ognissanti", "Dia de Todos-os-Santos"}},
    {"armisticeDay", {"Armistice Day", "Wapenstilstand", "Armistice", "Waffenstillstand", "Día del Armisticio", "Giorno dell'armistizio", "Dia do Armistício"}},
    {"restorationOfIndependence", {"Restoration of Independence", "Herstel van de Onafhankelijkheid", "Restauration de l'indépendance", "Wiederherstellung der Unabhängigkeit", "Restauración de la Independencia", "Restaurazione dell'indipendenza", "Restauração da Independência"}},
    {"constitutionDay", {"Constitution Day", "Dag van de Grondwet", "Jour de la Constitution", "Tag der Verfassung", "Día de la Constitución", "Festa della Costituzione", "Dia da Constituição"}},
    {"immaculateConception", {"Immaculate Conception", "Onbevlekte Ontvangenis", "Immaculée Conception", "Mariä Empfängnis", "Inmaculada Concepción", "Immacolata Concezione", "Imaculada Conceição"}},
    {"christmasDay", {"Christmas Day", "Eerste kerstdag", "Noël", "Erster Weihnachtstag", "Navidad", "Natale", "Natal"}},
    {"secondChristmasDay", {"Second Day of Christmas", "Tweede kerstdag", "Deuxième jour de Noël", "Zweiter Weihnachtstag", "Segundo día de Navidad", "Secondo giorno di Natale", "Segundo dia de Natal"}},
    {"stStephensDay", {"St Stephen's Day", "Sint-Stefanus", "Saint-Étienne", "Stephanstag", "San Esteban", "Santo Stefano", "Santo Estêvão"}},
    {"boxingDay", {"Boxing Day", "Tweede kerstdag", "Lendemain de Noël", "Zweiter Weihnachtstag", "", "Santo Stefano", ""}},
    {"goldenJubilee", {"Golden Jubilee of Queen Elizabeth II", "", "", "", "", "", ""}},
    {"royalWedding", {"Wedding of Prince William and Catherine Middleton", "", "", "", "", "", ""}},
    {"diamondJubilee", {"Diamond Jubilee of Queen Elizabeth II", "", "", "", "", "", ""}},
    {"platinumJubilee", {"Platinum Jubilee of Queen Elizabeth II", "", "", "", "", "", ""}},
    {"stateFuneral", {"State Funeral of Queen Elizabeth II", "", "", "", "", "", ""}},
    {"coronation", {"Coronation of King Charles III", "", "", "", "", "", ""}},
    {"remembranceDay", {"Day of Remembrance and Recognition", "", "", "", "", "", ""}},
    {"unificationAnniversary", {"150th anniversary of the unification of Italy", "150 jaar eenwording van Italië", "150e anniversaire de l'unité italienne", "150. Jahrestag der Einigung Italiens", "150.º aniversario de la unificación de Italia", "150º anniversario dell'Unità d'Italia", "150.º aniversário da unificação de Itália"}},
};

constexpr std::array<const char *, LanguageCount> SubstituteNote = {
    "(substitute day)", "(vervangende dag)", "(jour de remplacement)", "(Ersatztag)",
    "(día sustitutorio)", "(giorno sostitutivo)", "(dia de substituição)"};
// clang-format on

// A language beyond the seven reads as English.
std::size_t LanguageIndex(int language)
{
    return language >= 0 && language < LanguageCount ? static_cast<std::size_t>(language) : 0;
}

QString NameOf(QStringView key, int language)
{
    const auto found =
        std::find_if(std::begin(Names), std::end(Names),
                     [key](const HolidayName &n) { return key == QLatin1String(n.key); });
    if (found == std::end(Names))
        return key.toString();
    const char *name = found->names[LanguageIndex(language)];
    return QString::fromUtf8(*name ? name : found->names[0]);
}

// How a rule finds its day in a year.
enum class Kind {
    Fixed,      // month, day
    Easter,     // days from Easter Sunday
    NthWeekday, // month, weekday, n-th (negative: from the end of the month)
    Special,    // a function of the year
};

// Whether a holiday on a Saturday or Sunday gives the next free weekday off as well.
enum class Weekend { Stays, Substituted };

using DayOfYear = QDate (*)(int year);

struct Rule {
    const char *key;
    Kind kind;
    int month = 0;
    int day = 0; // Fixed: day of month; Easter: offset; NthWeekday: weekday (Monday 1)
    int nth = 0;
    int fromYear = 0;
    int toYear = LastYear;
    Weekend weekend = Weekend::Stays;
    DayOfYear special = nullptr;
};

constexpr Rule Fixed(const char *key, int month, int day, int fromYear = 0, int toYear = LastYear)
{
    return {key, Kind::Fixed, month, day, 0, fromYear, toYear};
}
constexpr Rule FixedSubstituted(const char *key, int month, int day, int fromYear = 0)
{
    return {key, Kind::Fixed, month, day, 0, fromYear, LastYear, Weekend::Substituted};
}
constexpr Rule OneOff(const char *key, int year, int month, int day)
{
    return Fixed(key, month, day, year, year);
}
constexpr Rule Easter(const char *key, int offset, int fromYear = 0, int toYear = LastYear)
{
    return {key, Kind::Easter, 0, offset, 0, fromYear, toYear};
}
constexpr Rule Weekday(const char *key, int month, int weekday, int nth)
{
    return {key, Kind::NthWeekday, month, weekday, nth};
}
constexpr Rule Special(const char *key, DayOfYear day, int fromYear = 0, int toYear = LastYear)
{
    return {key, Kind::Special, 0, 0, 0, fromYear, toYear, Weekend::Stays, day};
}

// The n-th given weekday of a month; n < 0 counts from the month's end.
QDate NthWeekdayOf(int year, int month, int weekday, int nth)
{
    if (nth > 0) {
        const QDate first(year, month, 1);
        return first.addDays((weekday - first.dayOfWeek() + 7) % 7 + 7 * (nth - 1));
    }
    const QDate last = QDate(year, month, 1).addMonths(1).addDays(-1);
    return last.addDays(-((last.dayOfWeek() - weekday + 7) % 7) + 7 * (nth + 1));
}

// A national day on a Sunday is kept on the Saturday before.
QDate QueensDay(int year)
{
    const QDate day(year, 4, 30);
    return day.dayOfWeek() == Qt::Sunday ? day.addDays(-1) : day;
}
QDate KingsDay(int year)
{
    const QDate day(year, 4, 27);
    return day.dayOfWeek() == Qt::Sunday ? day.addDays(-1) : day;
}
// Celebrated in every year, a day off in the years of a lustrum.
QDate LiberationDayNl(int year)
{
    return year % 5 == 0 ? QDate(year, 5, 5) : QDate();
}
// The first Monday of May, moved to the Friday for the VE Day anniversary of 2020.
QDate EarlyMayBankHoliday(int year)
{
    return year == 2020 ? QDate(2020, 5, 8) : NthWeekdayOf(year, 5, Qt::Monday, 1);
}
// The last Monday of May, moved into June for the jubilees.
QDate SpringBankHoliday(int year)
{
    switch (year) {
    case 2002:
        return {2002, 6, 4};
    case 2012:
        return {2012, 6, 4};
    case 2022:
        return {2022, 6, 2};
    default:
        return NthWeekdayOf(year, 5, Qt::Monday, -1);
    }
}
// The first Monday of February, or 1 February itself when that is a Friday.
QDate StBrigidsDay(int year)
{
    const QDate first(year, 2, 1);
    return first.dayOfWeek() == Qt::Friday ? first : NthWeekdayOf(year, 2, Qt::Monday, 1);
}

// clang-format off
constexpr Rule NlRules[] = {
    Fixed("newYear", 1, 1), Easter("easterSunday", 0), Easter("easterMonday", 1),
    Special("queensDay", QueensDay, 0, 2013), Special("kingsDay", KingsDay, 2014),
    Special("liberationDay", LiberationDayNl), Easter("ascensionDay", 39),
    Easter("whitSunday", 49), Easter("whitMonday", 50),
    Fixed("christmasDay", 12, 25), Fixed("secondChristmasDay", 12, 26),
};
constexpr Rule BeRules[] = {
    Fixed("newYear", 1, 1), Easter("easterSunday", 0), Easter("easterMonday", 1),
    Fixed("labourDay", 5, 1), Easter("ascensionDay", 39), Easter("whitSunday", 49),
    Easter("whitMonday", 50), Fixed("nationalDay", 7, 21), Fixed("assumptionDay", 8, 15),
    Fixed("allSaintsDay", 11, 1), Fixed("armisticeDay", 11, 11), Fixed("christmasDay", 12, 25),
};
constexpr Rule LuRules[] = {
    Fixed("newYear", 1, 1), Easter("easterMonday", 1), Fixed("labourDay", 5, 1),
    Fixed("europeDay", 5, 9, 2019), Easter("ascensionDay", 39), Easter("whitMonday", 50),
    Fixed("nationalDay", 6, 23), Fixed("assumptionDay", 8, 15), Fixed("allSaintsDay", 11, 1),
    Fixed("christmasDay", 12, 25), Fixed("stStephensDay", 12, 26),
};
constexpr Rule DeRules[] = {
    Fixed("newYear", 1, 1), Easter("goodFriday", -2), Easter("easterMonday", 1),
    Fixed("labourDay", 5, 1), Easter("ascensionDay", 39), Easter("whitMonday", 50),
    Fixed("germanUnityDay", 10, 3), OneOff("reformationDay", 2017, 10, 31),
    Fixed("christmasDay", 12, 25), Fixed("secondChristmasDay", 12, 26),
};
constexpr Rule AtRules[] = {
    Fixed("newYear", 1, 1), Fixed("epiphany", 1, 6), Easter("easterMonday", 1),
    Fixed("labourDay", 5, 1), Easter("ascensionDay", 39), Easter("whitMonday", 50),
    Easter("corpusChristi", 60), Fixed("assumptionDay", 8, 15), Fixed("nationalDay", 10, 26),
    Fixed("allSaintsDay", 11, 1), Fixed("immaculateConception", 12, 8),
    Fixed("christmasDay", 12, 25), Fixed("stStephensDay", 12, 26),
};
constexpr Rule ChRules[] = {
    Fixed("newYear", 1, 1), Easter("ascensionDay", 39), Fixed("swissNationalDay", 8, 1),
    Fixed("christmasDay", 12, 25),
};
constexpr Rule FrRules[] = {
    Fixed("newYear", 1, 1), Easter("easterMonday", 1), Fixed("labourDay", 5, 1),
    Fixed("victoryDay", 5, 8), Easter("ascensionDay", 39), Easter("whitMonday", 50),
    Fixed("nationalDay", 7, 14), Fixed("assumptionDay", 8, 15), Fixed("allSaintsDay", 11, 1),
    Fixed("armisticeDay", 11, 11), Fixed("christmasDay", 12, 25),
};
constexpr Rule GbRules[] = {
    FixedSubstituted("newYear", 1, 1), Easter("goodFriday", -2), Easter("easterMonday", 1),
    Special("earlyMayBankHoliday", EarlyMayBankHoliday),
    Special("springBankHoliday", SpringBankHoliday),
    Weekday("summerBankHoliday", 8, Qt::Monday, -1),
    FixedSubstituted("christmasDay", 12, 25), FixedSubstituted("boxingDay", 12, 26),
    OneOff("goldenJubilee", 2002, 6, 3), OneOff("royalWedding", 2011, 4, 29),
    OneOff("diamondJubilee", 2012, 6, 5), OneOff("platinumJubilee", 2022, 6, 3),
    OneOff("stateFuneral", 2022, 9, 19), OneOff("coronation", 2023, 5, 8),
};
constexpr Rule IeRules[] = {
    FixedSubstituted("newYear", 1, 1), Special("stBrigidsDay", StBrigidsDay, 2023),
    FixedSubstituted("stPatricksDay", 3, 17), OneOff("remembranceDay", 2022, 3, 18),
    Easter("easterMonday", 1), Weekday("mayDay", 5, Qt::Monday, 1),
    Weekday("juneHoliday", 6, Qt::Monday, 1), Weekday("augustHoliday", 8, Qt::Monday, 1),
    Weekday("octoberHoliday", 10, Qt::Monday, -1), FixedSubstituted("christmasDay", 12, 25),
    FixedSubstituted("stStephensDay", 12, 26),
};
constexpr Rule EsRules[] = {
    Fixed("newYear", 1, 1), Fixed("epiphany", 1, 6), Easter("goodFriday", -2),
    Fixed("labourDay", 5, 1), Fixed("assumptionDay", 8, 15), Fixed("nationalDay", 10, 12),
    Fixed("allSaintsDay", 11, 1), Fixed("constitutionDay", 12, 6),
    Fixed("immaculateConception", 12, 8), Fixed("christmasDay", 12, 25),
};
constexpr Rule ItRules[] = {
    Fixed("newYear", 1, 1), Fixed("epiphany", 1, 6), OneOff("unificationAnniversary", 2011, 3, 17),
    Easter("easterSunday", 0), Easter("easterMonday", 1), Fixed("liberationDay", 4, 25),
    Fixed("labourDay", 5, 1), Fixed("republicDay", 6, 2), Fixed("assumptionDay", 8, 15),
    Fixed("stFrancisDay", 10, 4, 2026), Fixed("allSaintsDay", 11, 1),
    Fixed("immaculateConception", 12, 8), Fixed("christmasDay", 12, 25),
    Fixed("stStephensDay", 12, 26),
};
// Four holidays were suspended from 2013 through 2015.
constexpr Rule PtRules[] = {
    Fixed("newYear", 1, 1), Easter("goodFriday", -2), Easter("easterSunday", 0),
    Fixed("freedomDay", 4, 25), Fixed("labourDay", 5, 1), Easter("corpusChristi", 60, 0, 2012),
    Easter("corpusChristi", 60, 2016), Fixed("portugalDay", 6, 10), Fixed("assumptionDay", 8, 15),
    Fixed("republicImplantation", 10, 5, 0, 2012), Fixed("republicImplantation", 10, 5, 2016),
    Fixed("allSaintsDay", 11, 1, 0, 2012), Fixed("allSaintsDay", 11, 1, 2016),
    Fixed("restorationOfIndependence", 12, 1, 0, 2012),
    Fixed("restorationOfIndependence", 12, 1, 2016), Fixed("immaculateConception", 12, 8),
    Fixed("christmasDay", 12, 25),
};
// clang-format on

struct CountryRules {
    Country country;
    const char *code;
    std::span<const Rule> rules;
};

constexpr CountryRules Countries[] = {
    {Country::NL, "NL", NlRules}, {Country::BE, "BE", BeRules}, {Country::LU, "LU", LuRules},
    {Country::DE, "DE", DeRules}, {Country::AT, "AT", AtRules}, {Country::CH, "CH", ChRules},
    {Country::FR, "FR", FrRules}, {Country::GB, "GB", GbRules}, {Country::IE, "IE", IeRules},
    {Country::ES, "ES", EsRules}, {Country::IT, "IT", ItRules}, {Country::PT, "PT", PtRules},
};

// Indexed by the enum's value.
constexpr bool InEnumOrder()
{
    for (std::size_t i = 0; i < std::size(Countries); ++i) {
        if (static_cast<std::size_t>(Countries[i].country) != i)
            return false;
    }
    return std::size(Countries) == CountryCount;
}
static_assert(InEnumOrder());

const CountryRules &RulesOf(Country country)
{
    return Countries[static_cast<int>(country)];
}

QDate DateIn(const Rule &rule, int year, QDate easter)
{
    switch (rule.kind) {
    case Kind::Fixed:
        return {year, rule.month, rule.day};
    case Kind::Easter:
        return easter.addDays(rule.day);
    case Kind::NthWeekday:
        return NthWeekdayOf(year, rule.month, rule.day, rule.nth);
    case Kind::Special:
        return rule.special(year);
    }
    return {};
}

// A fixed day that is never moved: one yearly line serves it.
bool SameDateEveryYear(const Rule &rule)
{
    return rule.kind == Kind::Fixed && rule.weekend == Weekend::Stays &&
           rule.fromYear != rule.toYear;
}

bool OnWeekend(QDate date)
{
    return date.dayOfWeek() >= Qt::Saturday;
}

// One year's holidays in date order, each weekend day of a substituted holiday followed by the
// next weekday that is not already off (so a Christmas on Saturday gives Monday and Boxing Day
// on Sunday the Tuesday).
void AppendYear(const CountryRules &country, int year, int language, QList<Holiday> &out)
{
    const QDate easter = EasterSunday(year);
    QList<std::pair<Holiday, Weekend>> days;
    for (const Rule &rule : country.rules) {
        if (year < rule.fromYear || year > rule.toYear)
            continue;
        const QDate date = DateIn(rule, year, easter);
        if (!date.isValid())
            continue;
        const QString key = QString::fromLatin1(rule.key);
        days.append({Holiday{date, key, NameOf(key, language), SameDateEveryYear(rule), false},
                     rule.weekend});
    }
    std::sort(days.begin(), days.end(),
              [](const auto &a, const auto &b) { return a.first.date < b.first.date; });

    QSet<QDate> off;
    for (const auto &[holiday, weekend] : days)
        off.insert(holiday.date);
    QList<Holiday> substitutes;
    for (const auto &[holiday, weekend] : days) {
        if (weekend != Weekend::Substituted || !OnWeekend(holiday.date))
            continue;
        QDate date = holiday.date.addDays(1);
        while (OnWeekend(date) || off.contains(date))
            date = date.addDays(1);
        off.insert(date);
        const QString name = holiday.name + QLatin1Char(' ') +
                             QString::fromUtf8(SubstituteNote[LanguageIndex(language)]);
        substitutes.append(Holiday{date, holiday.key, name, false, true});
    }
    const qsizetype first = out.size();
    for (const auto &[holiday, weekend] : days)
        out.append(holiday);
    out.append(substitutes);
    std::stable_sort(out.begin() + first, out.end(),
                     [](const Holiday &a, const Holiday &b) { return a.date < b.date; });
}

} // namespace

std::optional<Country> CountryFromCode(QStringView code)
{
    for (const CountryRules &country : Countries) {
        if (code.compare(QLatin1String(country.code), Qt::CaseInsensitive) == 0)
            return country.country;
    }
    return std::nullopt;
}

QString CountryCode(Country country)
{
    return QString::fromLatin1(RulesOf(country).code);
}

QList<Country> AllCountries()
{
    QList<Country> countries;
    for (const CountryRules &country : Countries)
        countries.append(country.country);
    return countries;
}

HolidayYears SupportedYears(clock::YearWindow years)
{
    return {std::max(FirstRuleYear, years.firstYear()), years.lastYear()};
}

HolidaysOutcome PublicHolidays(Country country, int fromYear, int toYear, int language,
                               clock::YearWindow years)
{
    const HolidayYears supported = SupportedYears(years);
    if (toYear < fromYear)
        return YearsRefusal{YearsRefused::Reversed, supported};
    if (fromYear < supported.first || toYear > supported.last)
        return YearsRefusal{YearsRefused::OutsideSupported, supported};
    QList<Holiday> holidays;
    for (int year = fromYear; year <= toYear; ++year)
        AppendYear(RulesOf(country), year, language, holidays);
    return holidays;
}

// The anonymous Gregorian computus (Meeus/Jones/Butcher).
QDate EasterSunday(int year)
{
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return {year, month, day};
}

} // namespace quintara::plan
