#include "alignment/horizontalcurve.h"

#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>

#include <qttestmain.h>

#include <QRandomGenerator>

#include <cmath>
#include <limits>

using Pelko::Road::HorizontalElement;
using Pelko::Road::HorizontalElementConfiguration;
using Zemko::Trelvin::HorizontalCurve;

namespace {

// The element a station belongs to as found by walking the chain from its first element.
template<typename Elements> int walked(const Elements& elements, int count, double station)
{
    if (count == 0)
        return -1;
    for (int i = 0; i < count; ++i)
        if (elements(i).contains(station, 0.001))
            return i;
    return count - 1;
}

HorizontalElement line(double beginStation, double length)
{
    return HorizontalElement::createLine(Pelko::Corvex::Angle::fromDegree(30.0), length,
                                         Pelko::Corvex::Point(1000.0, 2000.0), beginStation);
}

// Stations about every begin and end: exact, within and just beyond the millimetre slack, and far
// before and past the elements.
QVector<double> probes(const std::vector<std::pair<double, double>>& spans)
{
    QVector<double> stations
        = { -1e12, 1e12, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity() };
    for (const auto& span : spans)
        for (double at : { span.first, span.second })
            for (double delta :
                 { 0.0, 0.0005, -0.0005, 0.000999, -0.000999, 0.001, -0.001, 0.0011, -0.0011, 0.5, -0.5 })
                stations << at + delta << std::nextafter(at + delta, 1e300)
                         << std::nextafter(at + delta, -1e300);
    return stations;
}

} // namespace

class TestPlanLocate : public QObject
{
    Q_OBJECT

private slots:
    // A chained alignment as the road holds it: zero-length elements make equal stations at joints.
    void chainedElementsAsWalked()
    {
        HorizontalElementConfiguration elements;
        QCOMPARE(HorizontalCurve::ElementSearch(elements).find(5.0), -1);
        for (double length : { 120.0, 0.0, 0.0, 35.5, 0.0004, 80.25, 0.0, 1e-9, 310.0 })
            elements.append(line(std::nan(""), length));
        elements.setBeginStation(-50.0);

        std::vector<std::pair<double, double>> spans;
        for (unsigned i = 0; i < elements.size(); ++i)
            spans.emplace_back(elements.at(i).getBeginStation(), elements.at(i).getEndStation());
        const HorizontalCurve::ElementSearch search(elements);
        const auto element = [&elements](int i) { return elements.at(unsigned(i)); };
        for (double station : probes(spans)) {
            const int expected = walked(element, int(elements.size()), station);
            QCOMPARE(search.find(station), expected);

            // The location is that of the walked element, extended past the chain's ends.
            const HorizontalCurve::Location location
                = HorizontalCurve::locateOnElements(elements, search, station);
            const HorizontalElement at = elements.at(unsigned(expected));
            const double s = station - at.getBeginStation();
            const Pelko::Corvex::Point point = at.getNorthEast(s);
            const double azimuth = at.getAzimuth(s).toDegree();
            QCOMPARE(location.valid, point.isValid() && std::isfinite(azimuth));
            if (location.valid) {
                QCOMPARE(location.point.getX(), point.getX());
                QCOMPARE(location.point.getY(), point.getY());
                QCOMPARE(location.azimuth, azimuth);
            }
        }
    }

    // Spans with gaps, overlaps, empty elements and falling stations, rising or not.
    void looseSpansAsWalked()
    {
        QRandomGenerator random(11);
        for (int round = 0; round < 400; ++round) {
            std::vector<HorizontalElement> elements;
            std::vector<std::pair<double, double>> spans;
            double begin = random.bounded(2000.0) - 1000.0;
            const int count = 1 + int(random.bounded(12));
            const bool messy = round % 4 == 0;
            for (int i = 0; i < count; ++i) {
                const int kind = int(random.bounded(6));
                const double length = kind == 0 ? 0.0
                    : kind == 1                 ? 0.0005
                    : messy && kind == 2        ? -random.bounded(50.0)
                                                : random.bounded(200.0);
                elements.push_back(line(begin, length));
                spans.emplace_back(elements.back().getBeginStation(), elements.back().getEndStation());
                // Gaps, joints and overlaps (an overlap may make the ends fall).
                const int join = int(random.bounded(4));
                begin = spans.back().second
                    + (join == 0       ? random.bounded(30.0)
                           : join == 1 ? -random.bounded(messy ? 60.0 : 0.0009)
                                       : 0.0);
            }
            const HorizontalCurve::ElementSearch search(spans);
            const auto element = [&elements](int i) { return elements[std::size_t(i)]; };
            for (double station : probes(spans))
                QCOMPARE(search.find(station), walked(element, count, station));
        }
    }
};

TRELVIN_TEST_MAIN(TestPlanLocate)
#include "test_planlocate.moc"
