#include "profile/verticalelementedit.h"

#include "framework/metertounit.h"

#include <road/verticalelement.h>
#include <text/stationtext.h>

#include <cmath>

namespace Zemko {
namespace Trelvin {

namespace {

QString lengthText(double meters)
{
    return QString::number(MeterToUnit::instance()->fromMeters(meters), 'f', 3);
}

QString gradeText(double ratio)
{
    return QString::number(ratio * 100.0, 'f', 2) + QLatin1Char('%');
}

} // namespace

VerticalElementEdit::VerticalElementEdit(const Pelko::Road::VerticalElement& element)
    : m_source(element)
{
    const Pelko::Road::VerticalElement::Poi& poi = element.getPoi();
    setMileage(poi.station, false);
    setHeight(poi.elevation);
    setRadius(element.getRadius());
    cells[InGrade] = TextCell::stored(poi.gradeIn, gradeText(poi.gradeIn));
    cells[OutGrade] = TextCell::stored(poi.gradeOut, gradeText(poi.gradeOut));
    cells[InTangent] = TextCell::stored(element.getInTangent(), lengthText(element.getInTangent()));
    cells[OutTangent] = TextCell::stored(element.getOutTagent(), lengthText(element.getOutTagent()));
}

bool VerticalElementEdit::isUnchanged() const
{
    if (!m_source)
        return false;
    for (const TextCell& c : cells)
        if (!c.isStored())
            return false;
    return true;
}

QString VerticalElementEdit::text(int c) const
{
    return cell(c).text();
}

void VerticalElementEdit::setText(int c, const QString& text)
{
    if (isCell(c))
        cells[c].type(text);
}

double VerticalElementEdit::number(int c) const
{
    return cell(c).number();
}

void VerticalElementEdit::setNumber(int c, double value)
{
    if (isCell(c))
        cells[c].setNumber(value);
}

const TextCell& VerticalElementEdit::cell(int c) const
{
    static const TextCell none;
    return isCell(c) ? cells[c] : none;
}

void VerticalElementEdit::setMileage(double station, bool after)
{
    cells[Mileage]
        = TextCell::stored(station, stationToText(MeterToUnit::instance()->fromMeters(station), after));
}

void VerticalElementEdit::setHeight(double meters)
{
    cells[Height] = TextCell::stored(meters, lengthText(meters));
}

void VerticalElementEdit::setRadius(double meters)
{
    QString text
        = std::isinf(meters) || std::fabs(meters) < 1e-5 ? QString(QChar(0x221E)) : lengthText(meters);
    cells[Radius] = TextCell::stored(meters, text);
}

} // namespace Trelvin
} // namespace Zemko
