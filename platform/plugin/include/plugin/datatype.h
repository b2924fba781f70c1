#pragma once

#include <plugin/plugin_global.h>

#include <QFlags>
#include <QMetaType>

// The kinds of road data, as carried by the document's signals, the pages, the table models and the
// importer plug-ins.
namespace DataType {

enum Category {
    StationsEquation = 1,
    PointOfIntersection = 2,
    HorizontalElement = 4,
    VerticalAlignment = 8,
    StandardSection = 16,
    WideningPoint = 32,
    SuperelevationPoint = 64,
    Slope = 128,
    SlopeLibrary = 256,
    StructuralObject = 512,
};
Q_DECLARE_FLAGS(Categories, Category)

// Registers "DataType::Categories" with Qt's meta-type system (queued connections need it).
PLUGIN_EXPORT int registerCategoriesMetaType();

} // namespace DataType

Q_DECLARE_OPERATORS_FOR_FLAGS(DataType::Categories)
Q_DECLARE_METATYPE(DataType::Categories)
