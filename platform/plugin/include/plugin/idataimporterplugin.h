#pragma once

#include <plugin/datatype.h>
#include <plugin/iplugin.h>

namespace Pelko::Road {
class RoadSurface;
}

namespace Zemko::Trelvin {

class PLUGIN_EXPORT IDataImporter
{
public:
    virtual ~IDataImporter();

    // Reads the file into the road: an empty text on success, else what went wrong.
    virtual QString import(Pelko::Road::RoadSurface* road, const QString& fileName) = 0;
};

class PLUGIN_EXPORT IDataImporterPlugin : public IPlugin
{
public:
    // importerKind() of an importer that reads a file the user picks.
    enum { FileImporter = 1 };

    struct Spec
    {
        QString name;
        QString filter; // file-dialog filter, e.g. "Points (*.txt)"
        QString caption; // file-dialog caption
    };

    using IPlugin::IPlugin;

    // The kinds of road data an import replaces.
    virtual DataType::Categories categories() const = 0;
    virtual int importerKind() const = 0;
    virtual Spec spec(int index) const = 0;
    // A new importer, owned by the caller.
    virtual IDataImporter* createImporter(int index) = 0;
};

} // namespace Zemko::Trelvin

Q_DECLARE_INTERFACE(Zemko::Trelvin::IDataImporterPlugin, "com.zemko.Plugin.IDataImporter/2.0")
