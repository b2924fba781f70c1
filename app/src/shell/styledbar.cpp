#include "shell/styledbar.h"

#include <QApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

// Exported by QtWidgets without a public header.
QT_BEGIN_NAMESPACE
extern void qt_blurImage(QPainter* p, QImage& blurImage, qreal radius, bool quality, bool alphaOnly,
                         int transposed = 0);
QT_END_NAMESPACE

namespace Utils {

QColor PanelStyle::s_requestedColor;
QColor PanelStyle::s_panelColor;

StyledBar::StyledBar(QWidget* parent)
    : QWidget(parent)
{
    setProperty("panelwidget", true);
    setProperty("panelwidget_singlerow", true);
    setProperty("lightColored", false);
}

void StyledBar::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    QStyleOption option;
    option.rect = rect();
    option.state = QStyle::State_Horizontal;
    style()->drawControl(QStyle::CE_ToolBar, &option, &painter, this);
}

namespace {

int clampChannel(double value)
{
    return std::clamp(static_cast<int>(value), 0, 255);
}

void paintGradient(QPainter* painter, const QRect& span, const QRect& rect, bool light)
{
    QLinearGradient gradient(span.topRight(), span.topLeft());
    gradient.setColorAt(0, PanelStyle::brightColor(light).lighter(117));
    gradient.setColorAt(1, PanelStyle::deepColor(light).darker(109));
    painter->fillRect(rect, gradient);

    painter->setPen(QColor(255, 255, 255, 80));
    painter->drawLine(rect.topRight() - QPoint(1, 0), rect.bottomRight() - QPoint(1, 0));
    painter->setPen(QColor(0, 0, 0, 90));
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
}

void makeGrey(QPixmap& pixmap)
{
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int grey = (11 * qRed(pixel) + 16 * qGreen(pixel) + 5 * qBlue(pixel)) / 32;
            line[x] = qRgba(grey, grey, grey, qAlpha(pixel));
        }
    }
    const qreal ratio = pixmap.devicePixelRatio();
    pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
}

} // namespace

void PanelStyle::setRequestedColor(const QColor& color)
{
    s_requestedColor = color;
    const QColor derived = QColor::fromHsv(color.hsvHue(), static_cast<int>(color.hsvSaturation() * 0.7),
                                           64 + color.value() / 3);
    if (derived.isValid() && derived != s_panelColor) {
        s_panelColor = derived;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows)
            window->update();
    }
}

QColor PanelStyle::requestedColor()
{
    return s_requestedColor;
}

QColor PanelStyle::panelColor()
{
    return s_panelColor;
}

QColor PanelStyle::variantColor(bool light)
{
    return light ? s_panelColor.lighter(230) : s_panelColor;
}

QColor PanelStyle::edgeColor(bool light)
{
    const QColor base = variantColor(light);
    return QColor::fromHsv(base.hsvHue(), base.hsvSaturation(), base.value() / 2);
}

QColor PanelStyle::brightColor(bool light)
{
    const QColor base = variantColor(light);
    return QColor::fromHsv(base.hsvHue(), base.hsvSaturation(),
                           clampChannel(base.value() * (light ? 1.06 : 1.16)));
}

QColor PanelStyle::deepColor(bool light)
{
    const QColor base = variantColor(light);
    return QColor::fromHsv(base.hsvHue(), clampChannel(base.hsvSaturation() * 1.1),
                           clampChannel(base.value() * 0.7));
}

QColor PanelStyle::labelColor(bool light)
{
    return light ? QColor(Qt::black) : QColor(Qt::white);
}

void PanelStyle::paintPanelGradient(QPainter* painter, const QRect& span, const QRect& clip, bool light)
{
    if (clip.isEmpty())
        return;
    const QString key
        = QString::asprintf("mh_vertical %d %d %d %d %d", span.width(), span.height(), clip.width(),
                            clip.height(), static_cast<int>(variantColor(light).rgba()));
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap(clip.size());
        QPainter cachePainter(&pixmap);
        paintGradient(&cachePainter, span, QRect(QPoint(0, 0), clip.size()), light);
        cachePainter.end();
        QPixmapCache::insert(key, pixmap);
    }
    painter->drawPixmap(clip.topLeft(), pixmap);
}

void PanelStyle::paintIconShadowed(const QIcon& icon, const QRect& rect, QPainter* painter, QIcon::Mode mode,
                                   int radius, const QColor& color, const QPoint& offset)
{
    const QString key
        = QStringLiteral("icon %0 %1 %2").arg(icon.cacheKey()).arg(static_cast<int>(mode)).arg(rect.height());
    QPixmap cache;
    if (!QPixmapCache::find(key, &cache)) {
        QPixmap px = icon.pixmap(rect.size(), QIcon::Normal, QIcon::Off);
        // An icon with no pixmap at this size (or a rectangle with no room) leaves nothing to shadow.
        if (px.isNull())
            return;
        const int scale = static_cast<int>(std::ceil(px.devicePixelRatio()));
        const QPoint scaledOffset = offset * scale;
        const int r = radius * scale;

        cache = QPixmap(px.size() + QSize(2 * r, 2 * r));
        cache.fill(Qt::transparent);
        QPainter cachePainter(&cache);

        if (mode == QIcon::Disabled)
            makeGrey(px);

        QImage tmp(px.size() + QSize(2 * r, 2 * r + 1), QImage::Format_ARGB32_Premultiplied);
        tmp.fill(Qt::transparent);
        {
            QPainter tmpPainter(&tmp);
            tmpPainter.setCompositionMode(QPainter::CompositionMode_Source);
            tmpPainter.drawPixmap(QRect(r, r, px.width(), px.height()), px);
        }

        QImage blurred(tmp.size(), QImage::Format_ARGB32_Premultiplied);
        blurred.fill(Qt::transparent);
        {
            QPainter blurPainter(&blurred);
            qt_blurImage(&blurPainter, tmp, r, false, true);
        }
        tmp = blurred;

        // Each fill multiplies the shadow's alpha by the colour's alpha once more.
        {
            QPainter tmpPainter(&tmp);
            tmpPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tmpPainter.fillRect(tmp.rect(), color);
            tmpPainter.fillRect(tmp.rect(), color);
        }

        cachePainter.drawImage(cache.rect(), tmp);
        cachePainter.drawPixmap(QRect(QPoint(r, r) + scaledOffset, px.size()), px);
        cachePainter.end();
        cache.setDevicePixelRatio(scale);
        QPixmapCache::insert(key, cache);
    }

    const qreal ratio = cache.devicePixelRatio();
    QRect target(QPoint(0, 0), QSize(qRound(cache.width() / ratio), qRound(cache.height() / ratio)));
    target.moveCenter(rect.center() - offset);
    painter->drawPixmap(target, cache);
}

} // namespace Utils
