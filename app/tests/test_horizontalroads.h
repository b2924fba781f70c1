#pragma once

#include "support/roadfiles.h"

#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>

#include "document/trelvin.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cmath>
#include <limits>
#include <vector>

// Roads for the horizontal alignment tests.
namespace HorizontalRoads {

inline QByteArray number(double value)
{
    return QByteArray::number(value, 'g', 17);
}

inline QByteArray value(const char* name, double v)
{
    return QByteArray("            <") + name + ">" + number(v) + "</" + name + ">\n";
}

inline QByteArray pointPi(double north, double east, double station = 0.0)
{
    return "        <element>\n            <type>0</type>\n" + value("x", north) + value("y", east)
        + value("station", station) + "        </element>\n";
}

inline QByteArray arcPi(double north, double east, double radius)
{
    return "        <element>\n            <type>1</type>\n" + value("x", north) + value("y", east)
        + value("radius", radius) + "        </element>\n";
}

inline QByteArray spiralPi(double north, double east, double radius, double in, double out, int type = 2)
{
    return "        <element>\n            <type>" + QByteArray::number(type) + "</type>\n"
        + value("x", north) + value("y", east) + value("radius", radius) + value("in", in) + value("out", out)
        + "        </element>\n";
}

inline QByteArray piAlignment(const QByteArray& pis)
{
    return "    <HorizontalAlignment>\n        <type>1</type>\n" + pis + "    </HorizontalAlignment>\n";
}

// Start (1000, 2000), a spiral-arc-spiral corner, an arc corner, end.
inline QByteArray fourPis()
{
    return piAlignment(pointPi(1000, 2000) + spiralPi(1200, 2010, 200, 40, 40) + arcPi(1350, 2200, 300)
                       + pointPi(1500, 2230));
}

// One structure of the "StructureElements" part.
inline QByteArray structure(double station, int type, int build, double angle, double forward,
                            double backward, double left, double right, double height = 2.0,
                            double slope = 0.02)
{
    return "        <element>\n" + value("element_type", type) + value("build_type", build)
        + value("angle", angle) + value("station", station) + value("forward_width", forward)
        + value("backward_width", backward) + value("left_width", left) + value("right_width", right)
        + value("center_height", height) + value("cross_slope", slope) + "        </element>\n";
}

inline QByteArray structures(const QByteArray& elements)
{
    return "    <StructureElements>\n" + elements + "    </StructureElements>\n";
}

// A road whose alignment is the given element chain, written by the road library.
inline bool writeElementRoad(const QString& path, const Pelko::Road::HorizontalElementConfiguration& elements)
{
    if (!RoadFiles::write(path, RoadFiles::road(QByteArray())))
        return false;
    Pelko::Road::RoadSurface road(path.toLocal8Bit().toStdString());
    if (!road.load())
        return false;
    road.getHorizontalAligment()->setElements(elements);
    return road.save();
}

// From (1000, 2000) due north: a line of 100, a left arc of radius 300 and length 100, a line of 50.
inline Pelko::Road::HorizontalElementConfiguration lineArcLine()
{
    const double nan = std::nan("");
    Pelko::Road::HorizontalElementConfiguration elements;
    elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(0.0), 100.0,
                                                               Pelko::Corvex::Point(1000.0, 2000.0), 0.0));
    elements.append(Pelko::Road::HorizontalElement::createArc(Pelko::Corvex::Angle(nan), 100.0, -300.0,
                                                              Pelko::Corvex::Point::invalid(), nan));
    elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(nan), 50.0,
                                                               Pelko::Corvex::Point::invalid(), nan));
    return elements;
}

// Line, entry spiral, line: an element chain that has no PI form.
inline Pelko::Road::HorizontalElementConfiguration chainWithoutPis()
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::nan("");
    Pelko::Road::HorizontalElementConfiguration elements;
    elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(0.3), 100.0,
                                                               Pelko::Corvex::Point(500.0, 800.0), 0.0));
    elements.append(Pelko::Road::HorizontalElement::createSpiral(Pelko::Corvex::Angle(nan), 60.0, inf, 250.0,
                                                                 Pelko::Corvex::Point::invalid(), nan));
    elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(nan), 80.0,
                                                               Pelko::Corvex::Point::invalid(), nan));
    return elements;
}

// Road files written into a temporary folder and opened through the document, each under a new name.
class Folder
{
public:
    // The path of the open road; empty when it could not be written or opened.
    QString open(const QByteArray& parts)
    {
        return openWith([&](const QString& path) { return RoadFiles::write(path, RoadFiles::road(parts)); });
    }
    QString openElements(const Pelko::Road::HorizontalElementConfiguration& elements)
    {
        return openWith([&](const QString& path) { return writeElementRoad(path, elements); });
    }

private:
    template<typename Write> QString openWith(Write write)
    {
        const QString path = dir.filePath(QStringLiteral("road%1.rod").arg(++count));
        if (!write(path) || !Zemko::Trelvin::Trelvin::instance()->openRoad(path))
            return QString();
        return path;
    }

    QTemporaryDir dir;
    int count = 0;
};

} // namespace HorizontalRoads
