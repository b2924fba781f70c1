#pragma once

#include <QColor>
#include <QIcon>
#include <QWidget>

class QPainter;

namespace Utils {

// The bar on top of the side tab column: the current style's tool-bar look, nothing else.
class StyledBar : public QWidget
{
    Q_OBJECT
public:
    explicit StyledBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// One process-wide panel colour and the colours, gradient and icon shadow made from it. The dark
// variant (light == false) is the one the side tabs use.
class PanelStyle
{
public:
    static void setRequestedColor(const QColor& color);
    static QColor requestedColor();
    static QColor panelColor();

    static QColor edgeColor(bool light);
    static QColor brightColor(bool light);
    static QColor deepColor(bool light);
    static QColor labelColor(bool light);
    static double tabFontPointSize() { return 7.5; }

    static void paintPanelGradient(QPainter* painter, const QRect& span, const QRect& clip, bool light);
    static void paintIconShadowed(const QIcon& icon, const QRect& rect, QPainter* painter, QIcon::Mode mode,
                                  int radius, const QColor& color, const QPoint& offset);

private:
    static QColor variantColor(bool light);

    static QColor s_requestedColor;
    static QColor s_panelColor;
};

} // namespace Utils
