#include "gui/spending/ChartImage.h"

#include "core/storage/AtomicFile.h"
#include "core/viewer/CallLogViewer.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgGenerator>

namespace ChartImage {

Format formatOf(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0 ? Format::Svg
                                                                                            : Format::Png;
}

QString withSuffix(const QString& path, int filterIndex) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png") || suffix == QLatin1String("svg"))
        return path;
    return path + (filterIndex == 1 ? QLatin1String(".svg") : QLatin1String(".png"));
}

QString write(SpendingChart& chart, const QString& path) {
    const QRectF source = chart.sceneBoundingRect();
    const QSize size = source.size().toSize();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // A chart of its own is drawn in a scene made for it.
    QGraphicsScene own;
    const bool alone = chart.scene() == nullptr;
    if (alone)
        own.addItem(&chart);
    QGraphicsScene* scene = chart.scene();
    QString failure;
    if (formatOf(path) == Format::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Spending"));
        svg.setResolution(96); // one pixel of the chart to a CSS pixel
        QPainter painter(&svg);
        scene->render(&painter, QRectF(QPointF(0, 0), source.size()), source);
    } else {
        const qreal ratio = qMax<qreal>(1, qApp ? qApp->devicePixelRatio() : 1);
        QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            scene->render(&painter, QRectF(QPointF(0, 0), source.size()), source);
        }
        QImageWriter writer(&buffer, "png");
        if (!writer.write(image))
            failure = writer.errorString();
    }
    if (alone)
        own.removeItem(&chart);
    if (!failure.isEmpty())
        return CallLogViewer::cannotWrite(path, failure);
    QString reason;
    if (!AtomicFile::replace(path, bytes, &reason))
        return CallLogViewer::cannotWrite(path, reason);
    return {};
}

QString render(const SpendingFigures& figures, SpendView view, SpendingChart::Stack stack,
               std::optional<double> budget, const QString& mainSymbol, QSize size, const QString& path) {
    SpendingChart chart;
    chart.follow(QGuiApplication::palette(), QGuiApplication::font());
    chart.showFigures(figures, view, stack, budget, mainSymbol);
    chart.resize(size);
    return write(chart, path);
}

} // namespace ChartImage
