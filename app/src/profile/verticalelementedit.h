#pragma once

#include <QString>

namespace Pelko {
namespace Road {
class VerticalElement;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// One typed row of the vertical alignment table: seven cells, each the text the table shows and
// edits and the number last stored for it (metres, continuous station, grades as ratios).
class VerticalElementEdit
{
public:
    enum Cell { Mileage, Height, Radius, InGrade, OutGrade, InTangent, OutTangent, CellCount };

    VerticalElementEdit() = default;
    // Every cell from the element; the mileage text is the continuous station without "A".
    explicit VerticalElementEdit(const Pelko::Road::VerticalElement& element);

    QString text(int cell) const;
    void setText(int cell, const QString& text);
    double number(int cell) const;
    // The number alone: the text stays as the user typed it, so that checking again reads the same.
    void setNumber(int cell, double value);
    // The text is the one the record wrote for its number and has not been typed over since, so the
    // number holds the value more exactly than the rounded text.
    bool showsNumber(int cell) const;

    // Number and text, the text in the display unit.
    void setMileage(double station, bool after);
    void setHeight(double meters);
    void setRadius(double meters);

private:
    struct Value
    {
        QString text;
        double number = 0.0;
        bool showsNumber = false;
    };

    static bool isCell(int cell) { return cell >= 0 && cell < CellCount; }

    Value cells[CellCount];
};

} // namespace Trelvin
} // namespace Zemko
