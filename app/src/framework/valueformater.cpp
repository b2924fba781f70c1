#include "framework/valueformater.h"

#include <cmath>

namespace Zemko {
namespace Trelvin {

QString ValueFormater::sideText(int side)
{
    switch (side) {
    case 0:
        return tr("Right");
    case 1:
        return tr("Left");
    default:
        return QString();
    }
}

QString ValueFormater::elementTypeText(int type)
{
    switch (type) {
    case -1:
        return tr("None");
    case 0:
        return tr("Point");
    case 1:
        return tr("Line");
    case 2:
        return tr("Spiral");
    case 3:
        return tr("Arc");
    default:
        return QString();
    }
}

QString ValueFormater::curveTypeText(int kind)
{
    switch (kind) {
    case 0:
        return tr("Point");
    case 1:
        return tr("Arc");
    case 2:
        return tr("Trans|Arc|Trans");
    case 3:
        return tr("Trans|Trans");
    default:
        return QString();
    }
}

QString ValueFormater::structureTypeText(int type)
{
    switch (type) {
    case 0:
        return tr("Culvert");
    case 1:
        return tr("Circular Culvert");
    case 2:
        return tr("Passageway");
    case 3:
        return tr("Overpass");
    default:
        return QString();
    }
}

QString ValueFormater::buildTypeText(int type)
{
    switch (type) {
    case 0:
        return tr("SkewAskewBuild");
    case 1:
        return tr("SkewOrthotropicBuild");
    default:
        return QString();
    }
}

QString ValueFormater::radiusText(double radius)
{
    if (std::isinf(radius) || std::fabs(radius) < 1e-5)
        return QString(QChar(0x221E));
    return QString::number(radius, 'f', 3);
}

QString ValueFormater::percentText(double ratio)
{
    return QStringLiteral("%1%").arg(ratio * 100.0, 0, 'f', 2, QLatin1Char(' '));
}

} // namespace Trelvin
} // namespace Zemko
