#include "render/Pictures.h"

#include "project/ProjectModel.h"

#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cmath>

namespace quintara::render {

namespace {

QString markerName(int picture)
{
    return QStringLiteral("marker%1").arg(picture);
}

} // namespace

QString Pictures::resourcePath(const QString &name)
{
    return QStringLiteral(":/quintara/pictures/%1.svg").arg(name);
}

QIcon Pictures::icon(const QString &name)
{
    return QIcon(resourcePath(name));
}

void Pictures::drawMarker(QPainter &painter, int picture, const QRectF &target) const
{
    if (picture < 1 || picture > MarkerPictureCount)
        return;
    draw(painter, markerName(picture), target);
}

void Pictures::draw(QPainter &painter, const QString &name, const QRectF &target) const
{
    // Rendered once per name, size and ratio into a pixmap of device pixels: hundreds of markers
    // are painted on every repaint of the week.
    // Device pixels per unit of the target, a scaling painter included.
    const QTransform &transform = painter.worldTransform();
    const qreal scale = std::max(std::abs(transform.m11()), std::abs(transform.m22()));
    const qreal ratio =
        (painter.device() ? painter.device()->devicePixelRatioF() : 1.0) * (scale > 0 ? scale : 1);
    const QSize pixels(qRound(target.width() * ratio), qRound(target.height() * ratio));
    if (pixels.isEmpty())
        return;
    const QString key =
        QStringLiteral("%1@%2x%3").arg(name).arg(pixels.width()).arg(pixels.height());
    auto found = m_cache.constFind(key);
    if (found == m_cache.constEnd()) {
        QPixmap pixmap(pixels);
        pixmap.fill(Qt::transparent);
        QSvgRenderer renderer(resourcePath(name));
        QPainter into(&pixmap);
        into.setRenderHint(QPainter::Antialiasing);
        renderer.render(&into, QRectF(QPointF(0, 0), QSizeF(pixels)));
        into.end();
        pixmap.setDevicePixelRatio(ratio);
        found = m_cache.insert(key, pixmap);
    }
    painter.drawPixmap(target.topLeft(), *found);
}

int MarkerPicture(int functionType, int level)
{
    namespace Type = project::FunctionType;
    if (Type::IsSensor(functionType)) {
        switch (functionType) {
        case Type::SensorDay:
            return 7;
        case Type::SensorNight:
            return 8;
        case Type::SensorFrostProtection:
            return 9;
        default:
            return 6;
        }
    }
    if (Type::IsAudio(functionType))
        return 5;
    if (functionType == Type::Buzzer)
        return 3;
    if (functionType == Type::Message)
        return 4;
    return level != 0 ? 1 : 2;
}

} // namespace quintara::render
