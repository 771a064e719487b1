#pragma once

#include "gui/spending/SpendingChart.h"

#include <QSize>
#include <QString>

// A chart written to a PNG or SVG file. A file that exists is replaced only
// once the whole picture is written. Each returns the message to show, with
// the file's name and the reason, or an empty text.
namespace ChartImage {

enum class Format { Png, Svg };

// ".svg" (any case) is SVG, anything else PNG.
Format formatOf(const QString& path);
// The name the save dialog chose, with the suffix of the chosen format added
// when it has neither (filterIndex 0 PNG, 1 SVG).
QString withSuffix(const QString& path, int filterIndex);
inline const QString Filters = QStringLiteral("PNG image (*.png);;SVG image (*.svg)");

// Writes the chart as it is laid out, at its own size.
QString write(SpendingChart& chart, const QString& path);

// Draws a view of the figures at size (pixels) with the application's palette
// and font and writes it, without a window: for the chart command.
QString render(const SpendingFigures& figures, SpendView view, SpendingChart::Stack stack,
               std::optional<double> budget, const QString& mainSymbol, QSize size, const QString& path);

} // namespace ChartImage
