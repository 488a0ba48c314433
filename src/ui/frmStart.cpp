#include "ui/frmStart.h"

#include "render/Pictures.h"
#include "ui/FormTranslation.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QSysInfo>
#include <QVersionNumber>

namespace quintara::ui {

PlatformInfo CurrentPlatform()
{
    PlatformInfo info;
    info.name = QSysInfo::prettyProductName();
    info.version = QSysInfo::productVersion();
    if (QSysInfo::productType() == QLatin1String("windows"))
        info.family = 2;
    return info;
}

QString PlatformText(const PlatformInfo &platform)
{
    switch (platform.family) {
    case 0:
        return QStringLiteral("Unidentified");
    case 1:
        return QStringLiteral("Windows 95, ") + platform.version;
    case 2:
        return QStringLiteral("Windows NT, ") + platform.version;
    default:
        return platform.name;
    }
}

QString VersionText(const QString &version)
{
    const QVersionNumber number = QVersionNumber::fromString(version);
    return QStringLiteral("Version %1.%2/%3")
        .arg(number.majorVersion())
        .arg(number.minorVersion())
        .arg(number.microVersion());
}

frmStart::frmStart(const settings::Strings &strings, const PlatformInfo &platform, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_pictures(std::make_unique<render::Pictures>())
{
    setObjectName(QStringLiteral("frmStart"));
    setFixedSize(440, 220);

    auto label = [this](const char *name, int top) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(28, top, width() - 56, 20);
        QPalette colours = l->palette();
        colours.setColor(QPalette::WindowText, QColor(0xdd, 0xe6, 0xf0));
        l->setPalette(colours);
        return l;
    };
    m_version = label("lblVersion", 150);
    m_platform = label("lblPlatform", 172);
    m_platform->setText(platform.name);

    TranslateForm(*this, strings);
    m_version->setText(VersionText(QCoreApplication::applicationVersion()));
    m_platform->setText(PlatformText(platform));
    CentreForm(*this);
}

frmStart::~frmStart() = default;

void frmStart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(0x1f, 0x3b, 0x5c));
    sky.setColorAt(1, QColor(0x0e, 0x1d, 0x2e));
    painter.fillRect(rect(), sky);

    QFont title = font();
    title.setPointSize(26);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(28, 22, width() - 56, 48), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Quintara"));
    QFont subtitle = font();
    subtitle.setPointSize(10);
    painter.setFont(subtitle);
    painter.setPen(QColor(0xa9, 0xc4, 0xe0));
    painter.drawText(QRect(30, 70, width() - 60, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("QBN clock table"));

    // A strip of the week view's markers as the artwork.
    for (int k = 1; k <= render::Pictures::MarkerPictureCount; ++k) {
        painter.save();
        painter.translate(30 + 40 * (k - 1), 100);
        painter.scale(2, 2);
        m_pictures->drawMarker(painter, k,
                               QRectF(0, 0, render::Pictures::MarkerPictureWidth,
                                      render::Pictures::MarkerPictureHeight));
        painter.restore();
    }
}

} // namespace quintara::ui
