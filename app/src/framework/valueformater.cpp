#include "framework/valueformater.h"

#include <cmath>
#include <cstddef>

namespace Zemko {
namespace Trelvin {

namespace {

#define VALUE_TEXT(text) QT_TRANSLATE_NOOP("Zemko::Trelvin::ValueFormater", text)

const char* const sides[] = { VALUE_TEXT("Right"), VALUE_TEXT("Left") };
// From -1.
const char* const elementTypes[] = { VALUE_TEXT("None"), VALUE_TEXT("Point"), VALUE_TEXT("Line"),
                                     VALUE_TEXT("Spiral"), VALUE_TEXT("Arc") };
const char* const curveTypes[]
    = { VALUE_TEXT("Point"), VALUE_TEXT("Arc"), VALUE_TEXT("Trans|Arc|Trans"), VALUE_TEXT("Trans|Trans") };
const char* const structureTypes[] = { VALUE_TEXT("Culvert"), VALUE_TEXT("Circular Culvert"),
                                       VALUE_TEXT("Passageway"), VALUE_TEXT("Overpass") };
const char* const buildTypes[] = { VALUE_TEXT("SkewAskewBuild"), VALUE_TEXT("SkewOrthotropicBuild") };

#undef VALUE_TEXT

template<std::size_t N> QString textOf(const char* const (&texts)[N], int value, int first = 0)
{
    const long long i = static_cast<long long>(value) - first;
    return i >= 0 && i < static_cast<long long>(N) ? ValueFormater::tr(texts[i]) : QString();
}

} // namespace

QString ValueFormater::sideText(int side)
{
    return textOf(sides, side);
}

QString ValueFormater::elementTypeText(int type)
{
    return textOf(elementTypes, type, -1);
}

QString ValueFormater::curveTypeText(int kind)
{
    return textOf(curveTypes, kind);
}

QString ValueFormater::structureTypeText(int type)
{
    return textOf(structureTypes, type);
}

QString ValueFormater::buildTypeText(int type)
{
    return textOf(buildTypes, type);
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
