#pragma once

#include <QString>

namespace Pelko {
namespace Road {
class PointOfIntersection;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// One typed row of the PI table. Each cell keeps the text the user sees and edits and the number last
// stored for it; the numbers mean something only after the row was built from a road PI or checked.
// Lengths are metres; texts are in the display unit.
class PointOfIntersectionEdit
{
public:
    // A point row with empty texts.
    PointOfIntersectionEdit();
    explicit PointOfIntersectionEdit(const Pelko::Road::PointOfIntersection& pi);

    int curveType() const { return m_curveType; }
    QString curveTypeText() const { return m_curveTypeText; }
    void setCurveType(int kind);

    double station() const { return m_station; }
    QString stationText() const { return m_stationText; }
    void setStation(double value, bool overlapped);
    // The ...Value setters store the number only: the text stays as the user typed it, so that a
    // second check reads the same value and not a rounded one.
    void setStationValue(double value) { m_station = value; }
    void setStationText(const QString& text) { m_stationText = text; }

    // Radii: a straight (infinite or below 0.0001) is stored as 0 and shown as the infinity sign.
    double radius() const { return m_radius; }
    QString radiusText() const { return m_radiusText; }
    void setRadius(double value);
    void setRadiusValue(double value) { m_radius = straightAsZero(value); }
    void setRadiusText(const QString& text) { m_radiusText = text; }

    double startRadius() const { return m_startRadius; }
    QString startRadiusText() const { return m_startRadiusText; }
    void setStartRadius(double value);
    void setStartRadiusValue(double value) { m_startRadius = straightAsZero(value); }
    void setStartRadiusText(const QString& text) { m_startRadiusText = text; }

    double endRadius() const { return m_endRadius; }
    QString endRadiusText() const { return m_endRadiusText; }
    void setEndRadius(double value);
    void setEndRadiusValue(double value) { m_endRadius = straightAsZero(value); }
    void setEndRadiusText(const QString& text) { m_endRadiusText = text; }

    double inSpiralLength() const { return m_inSpiralLength; }
    QString inSpiralLengthText() const { return m_inSpiralLengthText; }
    void setInSpiralLength(double value);
    void setInSpiralLengthValue(double value) { m_inSpiralLength = value; }
    void setInSpiralLengthText(const QString& text) { m_inSpiralLengthText = text; }

    double outSpiralLength() const { return m_outSpiralLength; }
    QString outSpiralLengthText() const { return m_outSpiralLengthText; }
    void setOutSpiralLength(double value);
    void setOutSpiralLengthValue(double value) { m_outSpiralLength = value; }
    void setOutSpiralLengthText(const QString& text) { m_outSpiralLengthText = text; }

    double curveLength() const { return m_curveLength; }
    QString curveLengthText() const { return m_curveLengthText; }
    void setCurveLengthText(const QString& text) { m_curveLengthText = text; }

    double north() const { return m_north; }
    QString northText() const { return m_northText; }
    void setNorth(double value);
    void setNorthValue(double value) { m_north = value; }
    void setNorthText(const QString& text) { m_northText = text; }

    double east() const { return m_east; }
    QString eastText() const { return m_eastText; }
    void setEast(double value);
    void setEastValue(double value) { m_east = value; }
    void setEastText(const QString& text) { m_eastText = text; }

    QString inTangentLengthText() const { return m_inTangentLengthText; }
    void setInTangentLengthText(const QString& text) { m_inTangentLengthText = text; }
    QString outTangentLengthText() const { return m_outTangentLengthText; }
    void setOutTangentLengthText(const QString& text) { m_outTangentLengthText = text; }

private:
    static double straightAsZero(double radius);
    static QString lengthText(double meters);

    QString m_curveTypeText;
    int m_curveType = 0;
    double m_station = 0.0;
    QString m_stationText;
    double m_startRadius = 0.0;
    QString m_startRadiusText;
    double m_endRadius = 0.0;
    QString m_endRadiusText;
    double m_radius = 0.0;
    QString m_radiusText;
    double m_inSpiralLength = 0.0;
    QString m_inSpiralLengthText;
    double m_outSpiralLength = 0.0;
    QString m_outSpiralLengthText;
    double m_curveLength = 0.0;
    QString m_curveLengthText;
    double m_north = 0.0;
    QString m_northText;
    double m_east = 0.0;
    QString m_eastText;
    QString m_inTangentLengthText;
    QString m_outTangentLengthText;
};

} // namespace Trelvin
} // namespace Zemko
