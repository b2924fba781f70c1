#pragma once

#include <QString>

namespace Pelko {
namespace Road {
class HorizontalElement;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// One typed row of the element table. Numbers are metres and degrees; texts are in the display unit.
// The setters store a number and rewrite its text; the checks store numbers alone, so that the texts
// stay as the user typed them. A left turn shows its radii negative.
struct HorizontalElementEdit
{
    // A line of 100 at azimuth 0 from (0, 0), neither azimuth nor point fixed.
    HorizontalElementEdit();
    explicit HorizontalElementEdit(const Pelko::Road::HorizontalElement& element);

    void setType(int value);
    void setMileage(double station, bool overlapped);
    // A straight (infinite or below 0.0001) is stored as 0 and shown as the infinity sign.
    void setStartRadius(double radius);
    void setEndRadius(double radius);
    // An empty text for an angle that is not a number.
    void setAzimuth(double degrees);
    void setLength(double meters);
    void setNorth(double meters);
    void setEast(double meters);
    void setTurnDirection(int direction);

    static bool isStraight(double radius);

    QString typeText;
    int type = 1;
    QString mileageText;
    double mileage = 0.0;
    QString startRadiusText;
    double startRadius = 0.0;
    QString endRadiusText;
    double endRadius = 0.0;
    bool azimuthFixed = false;
    QString azimuthText;
    double azimuth = 0.0;
    QString lengthText;
    double length = 0.0;
    bool pointFixed = false;
    QString northText;
    double north = 0.0;
    QString eastText;
    double east = 0.0;
    QString turnText;
    int turnDirection = 0;
};

} // namespace Trelvin
} // namespace Zemko
