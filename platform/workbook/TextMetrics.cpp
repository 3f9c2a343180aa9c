#include "platform/workbook/TextMetrics.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace TextMetrics
{

namespace
{

constexpr double PixelsPerPoint = 96.0 / 72.0;
// Text is laid out at a large size and scaled down, so that hinting does not round the advances.
constexpr int LayoutPixels = 1000;

double emPixels(const Font& font)
{
    return (font.points > 0 ? font.points : 11) * PixelsPerPoint;
}

// Fonts need the window system's font database; without it sizes are estimated from the font size alone.
bool haveFontDatabase()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QFont layoutFont(const Font& font)
{
    QFont f(font.name);
    f.setPixelSize(LayoutPixels);
    f.setBold(font.bold);
    return f;
}

QString withLineSeparators(QString text)
{
    text.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    text.replace(u'\n', QChar::LineSeparator);
    text.replace(u'\r', QChar::LineSeparator);
    return text;
}

int wrappedLines(const QString& text, const QFont& font, double width)
{
    QTextLayout layout(withLineSeparators(text), font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        ++lines;
    }
    layout.endLayout();
    return std::max(lines, 1);
}

int estimatedLines(const QString& text, double emPx, double widthPx)
{
    const double perLine = std::max(1.0, widthPx / (0.55 * emPx));
    int lines = 0;
    for (const QString& part : withLineSeparators(text).split(QChar::LineSeparator))
        lines += std::max(1, int(std::ceil(part.size() / perLine)));
    return lines;
}

} // namespace

int maxDigitWidth(const Font& font)
{
    if (!haveFontDatabase())
        return std::max(1, int(std::lround(0.55 * emPixels(font))));
    const QFontMetricsF metrics(layoutFont(font));
    double widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(digit)));
    return std::max(1, int(std::lround(widest * emPixels(font) / LayoutPixels)));
}

double rowHeight(const QString& text, const Font& font, bool wrap, double widthPx)
{
    const double em = emPixels(font);
    double ascent = 0.91 * em;
    double descent = 0.22 * em;
    int lines = wrap ? estimatedLines(text, em, widthPx) : 1;
    if (haveFontDatabase()) {
        const QFont f = layoutFont(font);
        const QFontMetricsF metrics(f);
        const double scale = em / LayoutPixels;
        ascent = metrics.ascent() * scale;
        descent = metrics.descent() * scale;
        if (wrap)
            lines = wrappedLines(text, f, std::max(1.0, widthPx) / scale);
    }
    // Whole pixels above and below the base line and one more on either side, line by line, as spreadsheet
    // programs size a row (20 px a line for 11 pt Calibri, 17 px for 10 pt Arial).
    const double linePixels = std::round(ascent) + std::round(descent) + 2;
    return lines * linePixels / PixelsPerPoint;
}

} // namespace TextMetrics
