#pragma once

#include <plugin/idataexporterplugin.h>

namespace Zemko::Trelvin {

// One stake export for a road: the stake table dialog.
class Vesker : public IDataExporter
{
public:
    // The road is not owned.
    explicit Vesker(Pelko::Road::RoadSurface* road);
    ~Vesker() override;

    // Shows the dialog modally; its exec() result.
    int run(QWidget* parent) override;

private:
    Pelko::Road::RoadSurface* m_road;
};

class VeskerPlugin : public IDataExporterPlugin
{
    Q_OBJECT
    // The IID is the id().
    Q_PLUGIN_METADATA(IID "com.zemko.Plugin.VeskerPlugin/2.0")
    Q_INTERFACES(Zemko::Trelvin::IDataExporterPlugin)

public:
    VeskerPlugin();
    ~VeskerPlugin() override;

    QString type() const override;
    QString id() const override;
    QString name() const override;
    QString description() const override;
    QIcon icon() const override;

    // Null without a road.
    IDataExporter* createExporter(Pelko::Road::RoadSurface* road) override;
};

} // namespace Zemko::Trelvin
