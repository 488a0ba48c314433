#include "render/WeekColours.h"

#include "clock/ClockLine.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace quintara::render {

namespace {

double Luminance(const QColor &colour)
{
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

// The colour a translucent one makes over an opaque ground.
QColor Over(const QColor &ground, const QColor &layer)
{
    return Mix(ground, QColor(layer.red(), layer.green(), layer.blue()), layer.alphaF());
}

// The hues the day-tables are known by, for a light ground and for a dark one.
constexpr std::array<QColor, clock::TableKindCount> LightHues{
    QColor(0, 0, 0), QColor(192, 0, 0), QColor(0, 64, 255), QColor(0, 112, 0),
    QColor(255, 210, 0)};
constexpr std::array<QColor, clock::TableKindCount> DarkHues{
    QColor(240, 240, 240), QColor(255, 107, 107), QColor(122, 156, 255), QColor(76, 217, 100),
    QColor(255, 210, 0)};

} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Mix(const QColor &a, const QColor &b, double share)
{
    // Whole 8-bit channels: what a painted pixel holds.
    const auto mix = [share](int x, int y) { return qRound(x + (y - x) * share); };
    return {mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue())};
}

QColor Legible(const QColor &wanted, std::initializer_list<QColor> backgrounds, const QColor &ink,
               double ratio)
{
    constexpr int Steps = 20;
    for (int step = 0; step <= Steps; ++step) {
        const QColor colour = Mix(wanted, ink, double(step) / Steps);
        if (std::all_of(backgrounds.begin(), backgrounds.end(), [&](const QColor &ground) {
                return ContrastRatio(colour, ground) >= ratio;
            }))
            return colour;
    }
    return ink;
}

WeekColours::WeekColours(bool dark, const QColor &window, const QColor &base, const QColor &text)
    : window(window), text(text), plate(Qt::white)
{
    // Workdays warm, days off cool and set apart in lightness as well as hue.
    workday = dark ? Mix(base, QColor(255, 214, 130), 0.10) : Mix(base, QColor(255, 236, 180), 0.45);
    dayOff = dark ? Mix(base, QColor(0, 8, 30), 0.45) : Mix(base, QColor(150, 185, 225), 0.40);
    ink = dark ? QColor(240, 240, 240) : QColor(0, 0, 0);
    halo = dark ? QColor(0, 0, 0) : QColor(255, 255, 255);
    const std::array<QColor, 4> on = grounds();
    const auto legible = [&](const QColor &wanted) {
        return Legible(wanted, {on[0], on[1], on[2], on[3]}, ink, 3.0);
    };
    majorLine = legible(dark ? QColor(200, 200, 200) : QColor(51, 51, 51));
    minorLine = legible(dark ? QColor(130, 130, 130) : QColor(100, 100, 100));
    now = legible(dark ? QColor(255, 80, 80) : QColor(200, 0, 0));
    const auto &hues = dark ? DarkHues : LightHues;
    for (std::size_t k = 0; k < tables.size(); ++k)
        tables[k] = legible(hues[k]);
    // Yellow has no dark shade that still reads as yellow: its triangles lean on their outline.
    tables[clock::Special] = hues[clock::Special];
    otherTable = ink;
}

WeekColours WeekColours::fromPalette(const QPalette &palette)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor base = palette.color(QPalette::Base);
    const bool dark = window.lightnessF() < 0.5;
    QColor text = palette.color(QPalette::WindowText);
    if (ContrastRatio(text, window) < 4.5)
        text = dark ? Qt::white : Qt::black;
    return WeekColours(dark, window, (base.lightnessF() < 0.5) == dark ? base : window, text);
}

QColor WeekColours::table(int kind) const
{
    return kind >= 0 && kind < int(tables.size()) ? tables[std::size_t(kind)] : otherTable;
}

std::array<QColor, 4> WeekColours::grounds() const
{
    return {workday, dayOff, Over(workday, NightShade), Over(dayOff, NightShade)};
}

} // namespace quintara::render
