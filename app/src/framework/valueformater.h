#pragma once

#include <QObject>
#include <QString>

namespace Zemko {
namespace Trelvin {

// Display texts of the road model's enumerations, radii and ratios. A value outside a table gives an
// empty text.
class ValueFormater : public QObject
{
    Q_OBJECT

public:
    ValueFormater() = delete;

    static QString sideText(int side);
    static QString elementTypeText(int type);
    static QString curveTypeText(int kind);
    static QString structureTypeText(int type);
    static QString buildTypeText(int type);

    // With its sign and in metres; the infinity sign for a straight (infinite or below 1e-5).
    static QString radiusText(double radius);
    // A ratio shown as percent: 0.02 gives "2.00%".
    static QString percentText(double ratio);
};

} // namespace Trelvin
} // namespace Zemko
