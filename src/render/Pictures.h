#pragma once

#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QPainter;
class QRectF;

namespace quintara::render {

// The main window's image lists: the nine marker pictures (also the legend and the information
// panels) and the toolbar icons. Drawn from SVG, so they stay sharp at
// any device pixel ratio; rendered pixmaps are kept per size and ratio.
class Pictures {
public:
    static constexpr int MarkerPictureCount = 9;
    static constexpr int MarkerPictureWidth = 11;
    static constexpr int MarkerPictureHeight = 51;

    // Marker picture 1..9; any other number draws nothing.
    void drawMarker(QPainter &painter, int picture, const QRectF &target) const;

    // The toolbar icon of a picture name ("tlb_new", ...).
    static QIcon icon(const QString &name);
    static QString resourcePath(const QString &name);

private:
    void draw(QPainter &painter, const QString &name, const QRectF &target) const;

    mutable QHash<QString, QPixmap> m_cache;
};

// The marker picture (1..9) of a function type and level: the sensor kinds, audio, the buzzer
// and messages have their own; anything else shows on (level above 0) or off.
int MarkerPicture(int functionType, int level);

} // namespace quintara::render
