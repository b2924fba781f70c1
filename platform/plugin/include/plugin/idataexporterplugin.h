#pragma once

#include <plugin/iplugin.h>

class QWidget;

namespace Pelko::Road {
class RoadSurface;
}

namespace Zemko::Trelvin {

// One export run; the caller deletes it afterwards.
class PLUGIN_EXPORT IDataExporter
{
public:
    virtual int run(QWidget* parent) = 0;
    virtual ~IDataExporter();
};

class PLUGIN_EXPORT IDataExporterPlugin : public IPlugin
{
public:
    using IPlugin::IPlugin;

    // A new exporter for the open road, owned by the caller.
    virtual IDataExporter* createExporter(Pelko::Road::RoadSurface* road) = 0;
};

} // namespace Zemko::Trelvin

Q_DECLARE_INTERFACE(Zemko::Trelvin::IDataExporterPlugin, "com.zemko.Plugin.IDataExporter/2.0")
