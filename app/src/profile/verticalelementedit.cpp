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
{
    const Pelko::Road::VerticalElement::Poi& poi = element.getPoi();
    setMileage(poi.station, false);
    setHeight(poi.elevation);
    setRadius(element.getRadius());
    cells[InGrade] = { gradeText(poi.gradeIn), poi.gradeIn, true };
    cells[OutGrade] = { gradeText(poi.gradeOut), poi.gradeOut, true };
    cells[InTangent] = { lengthText(element.getInTangent()), element.getInTangent(), true };
    cells[OutTangent] = { lengthText(element.getOutTagent()), element.getOutTagent(), true };
}

QString VerticalElementEdit::text(int cell) const
{
    return isCell(cell) ? cells[cell].text : QString();
}

void VerticalElementEdit::setText(int cell, const QString& text)
{
    if (!isCell(cell) || cells[cell].text == text)
        return;
    cells[cell].text = text;
    cells[cell].showsNumber = false;
}

double VerticalElementEdit::number(int cell) const
{
    return isCell(cell) ? cells[cell].number : 0.0;
}

void VerticalElementEdit::setNumber(int cell, double value)
{
    if (isCell(cell))
        cells[cell].number = value;
}

bool VerticalElementEdit::showsNumber(int cell) const
{
    return isCell(cell) && cells[cell].showsNumber;
}

void VerticalElementEdit::setMileage(double station, bool after)
{
    cells[Mileage] = { stationToText(MeterToUnit::instance()->fromMeters(station), after), station, true };
}

void VerticalElementEdit::setHeight(double meters)
{
    cells[Height] = { lengthText(meters), meters, true };
}

void VerticalElementEdit::setRadius(double meters)
{
    QString text
        = std::isinf(meters) || std::fabs(meters) < 1e-5 ? QString(QChar(0x221E)) : lengthText(meters);
    cells[Radius] = { text, meters, true };
}

} // namespace Trelvin
} // namespace Zemko
