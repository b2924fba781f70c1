// Paints the program's icons into PNG files: drawicons OUTDIR. Run by drawicons.sh; the PNGs are
// committed, so the program's build does not need this.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const int Size = 32;

const QColor Asphalt(74, 80, 88);
const QColor AsphaltEdge(40, 44, 50);
const QColor Alignment(40, 132, 230);
const QColor AlignmentDark(20, 70, 140);
const QColor Marker(226, 52, 40);
const QColor Earth(190, 140, 84);
const QColor EarthDark(110, 74, 38);
const QColor Grass(84, 170, 60);
const QColor Yellow(255, 210, 31);
const QColor Outline(30, 30, 30);

QPen pen(const QColor& color, double width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen p(color, width, style, Qt::RoundCap, Qt::RoundJoin);
    return p;
}

QPen dashed(const QColor& color, double width)
{
    QPen p(color, width, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
    p.setDashPattern({ 2.0, 1.5 });
    return p;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QVector<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// A dot with a dark rim, readable on the light welcome page and on the dark tab column.
void dot(QPainter& p, const QPointF& centre, double radius, const QColor& fill)
{
    p.setPen(pen(Outline, 1.0));
    p.setBrush(fill);
    p.drawEllipse(centre, radius, radius);
}

// A design line: blue with a dark rim.
void designLine(QPainter& p, const QPainterPath& path, double width)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(AlignmentDark, width + 1.6));
    p.drawPath(path);
    p.setPen(pen(Alignment, width));
    p.drawPath(path);
}

// The intersection point of two tangents, a red triangle under its apex.
void intersectionMark(QPainter& p, const QPointF& apex)
{
    p.setPen(pen(Outline, 1.0));
    p.setBrush(Marker);
    p.drawPolygon(QPolygonF({ apex, apex + QPointF(3.2, 5.5), apex + QPointF(-3.2, 5.5) }));
}

void road(QPainter& p)
{
    const QPainterPath surface = polygon({ { 13, 3 }, { 19, 3 }, { 30.5, 30 }, { 1.5, 30 } });
    p.setPen(pen(AsphaltEdge, 1.0));
    p.setBrush(Asphalt);
    p.drawPath(surface);
    p.setPen(pen(Qt::white, 1.4));
    p.drawLine(QPointF(13.6, 4), QPointF(3.4, 29));
    p.drawLine(QPointF(18.4, 4), QPointF(28.6, 29));
    // Dashes grow towards the viewer.
    p.setPen(Qt::NoPen);
    p.setBrush(Yellow);
    p.drawPolygon(QPolygonF({ { 15.6, 5 }, { 16.4, 5 }, { 16.5, 8 }, { 15.5, 8 } }));
    p.drawPolygon(QPolygonF({ { 15.4, 11 }, { 16.6, 11 }, { 16.8, 16 }, { 15.2, 16 } }));
    p.drawPolygon(QPolygonF({ { 15.1, 20 }, { 16.9, 20 }, { 17.2, 28 }, { 14.8, 28 } }));
}

void horizontalAlignment(QPainter& p)
{
    // Two tangents meeting at the PI, joined by a circular curve.
    const QPointF pi(6, 6), tc(6, 17), ct(17, 6);
    p.setPen(dashed(QColor(150, 150, 150), 1.0));
    p.drawLine(tc, pi);
    p.drawLine(pi, ct);
    QPainterPath line;
    line.moveTo(6, 30);
    line.lineTo(tc);
    line.arcTo(QRectF(6, 6, 22, 22), 180, -90);
    line.lineTo(30, 6);
    designLine(p, line, 2.4);
    dot(p, tc, 2.0, Qt::white);
    dot(p, ct, 2.0, Qt::white);
    intersectionMark(p, QPointF(6, 2.8));
}

void verticalAlignment(QPainter& p)
{
    // Ground line, then the grade line with a crest curve about the PVI.
    p.setPen(pen(EarthDark, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF(
        { { 1.5, 28 }, { 7, 24 }, { 11, 24.5 }, { 15, 19 }, { 20, 18 }, { 25, 22 }, { 30.5, 24 } }));

    const QPointF start(2, 24), pvi(16, 7), end(30, 19);
    const double x0 = 9, x1 = 23;
    auto onGrade = [](const QPointF& a, const QPointF& b, double x) {
        return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
    };
    const QPointF bvc = onGrade(start, pvi, x0), evc = onGrade(pvi, end, x1);
    p.setPen(dashed(QColor(150, 150, 150), 1.0));
    p.drawLine(bvc, pvi);
    p.drawLine(pvi, evc);

    QPainterPath grade;
    grade.moveTo(start);
    grade.lineTo(bvc);
    grade.quadTo(pvi, evc);
    grade.lineTo(end);
    designLine(p, grade, 2.4);
    dot(p, bvc, 1.8, Qt::white);
    dot(p, evc, 1.8, Qt::white);
    intersectionMark(p, QPointF(16, 2.8));
}

void embankment(QPainter& p, double tilt)
{
    // Earth under a pavement whose top turns by tilt (a rise to the right per unit of offset).
    const double crown = 12;
    auto top = [&](double x) { return crown - tilt * (x - 16); };
    p.setPen(pen(EarthDark, 1.0));
    p.setBrush(Earth);
    p.drawPath(polygon({ { 5, top(5) + 3 }, { 27, top(27) + 3 }, { 31, 27 }, { 1, 27 } }));
    p.setPen(pen(Grass, 2.0));
    p.drawLine(QPointF(1, 28), QPointF(31, 28));
}

void standardSection(QPainter& p)
{
    // A crowned pavement on an embankment, the centre line marked.
    embankment(p, 0);
    p.setPen(pen(AsphaltEdge, 1.0));
    p.setBrush(Asphalt);
    p.drawPath(polygon({ { 4, 14.5 }, { 16, 11 }, { 28, 14.5 }, { 28, 17.5 }, { 16, 14 }, { 4, 17.5 } }));
    p.setPen(dashed(Marker, 1.6));
    p.drawLine(QPointF(16, 2), QPointF(16, 10));
}

void slope(QPainter& p)
{
    // A cut face with its rise-over-run triangle.
    p.setPen(pen(EarthDark, 1.0));
    p.setBrush(Earth);
    p.drawPath(polygon({ { 2, 29 }, { 22, 7 }, { 30.5, 7 }, { 30.5, 29 } }));
    p.setPen(pen(Grass, 2.0));
    p.drawLine(QPointF(22.5, 6.5), QPointF(30.5, 6.5));
    p.drawLine(QPointF(1, 29.5), QPointF(8, 29.5));
    QPainterPath legs;
    legs.addPolygon(QPolygonF({ { 8, 22.4 }, { 8, 13.4 }, { 16.2, 13.4 } }));
    designLine(p, legs, 1.8);
}

void structuralObject(QPainter& p)
{
    // A pipe culvert under an embankment, water in its invert.
    p.setPen(pen(EarthDark, 1.0));
    p.setBrush(Earth);
    p.drawPath(polygon({ { 10, 9 }, { 22, 9 }, { 30.5, 28 }, { 1.5, 28 } }));
    p.setPen(pen(AsphaltEdge, 1.0));
    p.setBrush(Asphalt);
    p.drawRect(QRectF(9, 7, 14, 2.5));
    const QPointF centre(16, 21);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(28, 28, 28));
    p.drawEllipse(centre, 5.5, 5.5);
    p.setBrush(QColor(70, 160, 235));
    QPainterPath water;
    water.moveTo(centre.x() - 4.6, centre.y() + 2.5);
    water.arcTo(QRectF(centre.x() - 5.5, centre.y() - 5.5, 11, 11), 207, 126);
    water.closeSubpath();
    p.drawPath(water);
    p.setPen(pen(QColor(205, 208, 212), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 5.5, 5.5);
    p.setPen(pen(Grass, 2.0));
    p.drawLine(QPointF(1, 29.5), QPointF(31, 29.5));
}

void wideningPoint(QPainter& p)
{
    // A carriageway in plan whose right edge flares out after the widening point.
    const QPainterPath surface
        = polygon({ { 1.5, 6 }, { 30.5, 6 }, { 30.5, 26 }, { 21, 26 }, { 12, 19 }, { 1.5, 19 } });
    p.setPen(Qt::NoPen);
    p.setBrush(Asphalt);
    p.drawPath(surface);
    p.setPen(pen(Qt::white, 1.4));
    p.drawLine(QPointF(1.5, 6.5), QPointF(30.5, 6.5));
    p.drawPolyline(QPolygonF({ { 1.5, 18.5 }, { 12, 18.5 }, { 21, 25.5 }, { 30.5, 25.5 } }));
    p.setPen(dashed(Yellow, 1.2));
    p.drawLine(QPointF(2, 12.5), QPointF(30, 12.5));
    // The added width.
    p.setPen(pen(QColor(255, 150, 40), 1.4));
    p.drawLine(QPointF(26, 19.5), QPointF(26, 24.5));
    p.setBrush(QColor(255, 150, 40));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({ { 26, 18.6 }, { 28, 21 }, { 24, 21 } }));
    p.drawPolygon(QPolygonF({ { 26, 25.4 }, { 28, 23 }, { 24, 23 } }));
    dot(p, QPointF(12, 19), 2.2, Marker);
}

void superelevationPoint(QPainter& p)
{
    // The pavement banked about its centre, against the level line, with the turn it makes.
    const double tilt = 0.28;
    embankment(p, tilt);
    const QPointF pivot(16, 12);
    p.setPen(pen(AsphaltEdge, 1.0));
    p.setBrush(Asphalt);
    p.drawPath(polygon({ { 4, pivot.y() + tilt * 12 },
                         { 28, pivot.y() - tilt * 12 },
                         { 28, pivot.y() - tilt * 12 + 3 },
                         { 4, pivot.y() + tilt * 12 + 3 } }));
    p.setPen(dashed(QColor(60, 60, 60), 1.2));
    p.drawLine(QPointF(2, pivot.y() + 1.5), QPointF(30, pivot.y() + 1.5));
    p.setPen(pen(Alignment, 1.8));
    p.setBrush(Qt::NoBrush);
    const double radius = 10;
    p.drawArc(QRectF(pivot.x() - radius, pivot.y() - radius, 2 * radius, 2 * radius), 25 * 16, 70 * 16);
    // Arrow head at the arc's end, pointing the way the pavement turned.
    const double a = 95.0 * M_PI / 180.0;
    const QPointF end(pivot.x() + radius * std::cos(a), pivot.y() - radius * std::sin(a));
    const QPointF along(-std::sin(a), -std::cos(a)), across(std::cos(a), -std::sin(a));
    p.setPen(Qt::NoPen);
    p.setBrush(Alignment);
    p.drawPolygon(QPolygonF({ end + 3.0 * along, end + 2.4 * across, end - 2.4 * across }));
    dot(p, pivot + QPointF(0, 1.5), 1.8, Marker);
}

void stationsEquation(QPainter& p)
{
    // A chainage whose ticks change step at a stake: the break between two stationings.
    QPainterPath chainage;
    chainage.moveTo(2, 22);
    chainage.lineTo(30, 22);
    designLine(p, chainage, 2.0);
    p.setPen(pen(Outline, 1.4));
    for (double x : { 3.0, 7.5, 12.0 })
        p.drawLine(QPointF(x, 25), QPointF(x, 28.5));
    for (double x : { 21.0, 26.0 })
        p.drawLine(QPointF(x, 25), QPointF(x, 28.5));
    p.setPen(pen(Outline, 1.0));
    p.drawLine(QPointF(16, 3), QPointF(16, 29.5));
    p.setPen(Qt::NoPen);
    for (int band = 0; band < 4; ++band) {
        p.setBrush(band % 2 ? QColor(Qt::white) : Marker);
        p.drawRect(QRectF(14.5, 3 + band * 4, 3, 4));
    }
    p.setPen(pen(Outline, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(14.5, 3, 3, 16));
}

void open(QPainter& p)
{
    p.setPen(pen(QColor(150, 105, 10), 1.0));
    p.setBrush(QColor(218, 165, 32));
    p.drawPath(polygon({ { 2, 7 }, { 11, 7 }, { 13, 9.5 }, { 26, 9.5 }, { 26, 27 }, { 2, 27 } }));
    p.setPen(pen(QColor(150, 150, 150), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 5, 16, 14));
    p.setPen(pen(Alignment, 1.4));
    p.drawLine(QPointF(9, 9), QPointF(19, 9));
    p.drawLine(QPointF(9, 12.5), QPointF(17, 12.5));
    p.setPen(pen(QColor(150, 105, 10), 1.0));
    p.setBrush(QColor(247, 200, 70));
    p.drawPath(polygon({ { 6.5, 14 }, { 31, 14 }, { 26, 27 }, { 2, 27 } }));
}

void create(QPainter& p)
{
    // A new sheet with a road line drawn on it and a plus.
    p.setPen(pen(QColor(110, 110, 110), 1.0));
    p.setBrush(Qt::white);
    p.drawPath(polygon({ { 5, 2.5 }, { 18, 2.5 }, { 25, 9.5 }, { 25, 29.5 }, { 5, 29.5 } }));
    p.setBrush(QColor(215, 215, 215));
    p.drawPath(polygon({ { 18, 2.5 }, { 18, 9.5 }, { 25, 9.5 } }));
    QPainterPath line;
    line.moveTo(8.5, 25);
    line.cubicTo(QPointF(10, 14), QPointF(17, 19), QPointF(19, 12));
    p.setPen(pen(Alignment, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
    dot(p, QPointF(24, 24), 6.5, QColor(60, 170, 70));
    p.setPen(pen(Qt::white, 2.2));
    p.drawLine(QPointF(24, 20.5), QPointF(24, 27.5));
    p.drawLine(QPointF(20.5, 24), QPointF(27.5, 24));
}

void save(QPainter& p)
{
    // A diskette: body, shutter and label.
    QPainterPath body;
    body.moveTo(4, 3);
    body.lineTo(25, 3);
    body.lineTo(29, 7);
    body.lineTo(29, 29);
    body.lineTo(3, 29);
    body.lineTo(3, 4);
    body.closeSubpath();
    p.setPen(pen(QColor(20, 55, 110), 1.0));
    p.setBrush(QColor(45, 107, 181));
    p.drawPath(body);
    p.setPen(pen(QColor(120, 125, 135), 0.8));
    p.setBrush(QColor(205, 210, 218));
    p.drawRect(QRectF(9, 3.5, 13, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(45, 107, 181));
    p.drawRect(QRectF(17, 5, 3, 6));
    p.setPen(pen(QColor(150, 150, 150), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 17, 18, 12));
    p.setPen(pen(QColor(170, 170, 170), 1.0));
    p.drawLine(QPointF(9.5, 21), QPointF(22.5, 21));
    p.drawLine(QPointF(9.5, 24.5), QPointF(22.5, 24.5));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawicons OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const std::pair<const char*, std::function<void(QPainter&)>> icons[] = {
        { "Road.png", road },
        { "HorizontalAlignment.png", horizontalAlignment },
        { "VerticalAlignment.png", verticalAlignment },
        { "StandardSection.png", standardSection },
        { "Slope.png", slope },
        { "StructuralOject.png", structuralObject },
        { "WideningPoint.png", wideningPoint },
        { "SuperelevationPoint.png", superelevationPoint },
        { "StationsEquation.png", stationsEquation },
        { "Open.png", open },
        { "Create.png", create },
        { "Save.png", save },
    };
    for (const auto& [name, draw] : icons) {
        QImage image(Size, Size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
        painter.end();
        const QString path = out.filePath(QString::fromLatin1(name));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
