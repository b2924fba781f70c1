#pragma once

#include <QCoreApplication>
#include <QString>

// The length unit through which every length is shown and typed. The road model keeps metres; the
// displayed unit is metres too, but every conversion still passes here so that it has one place.
class MeterToUnit
{
    Q_DECLARE_TR_FUNCTIONS(MeterToUnit)

public:
    static MeterToUnit* instance();

    double fromMeters(double meters) const { return factor * meters; }
    double toMeters(double value) const { return value / factor; }

    QString unitName() const { return name; }
    QString unitAbbreviation() const { return abbreviation; }
    QString unitTranslatedAbbreviation() const { return translatedAbbreviation; }

private:
    MeterToUnit();

    int unit = -1;
    double factor = 1.0;
    QString name;
    QString abbreviation;
    QString translatedAbbreviation;
};
