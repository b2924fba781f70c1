#include "veskerplugin.h"

#include "stakeexportdialog.h"

namespace Zemko::Trelvin {

Vesker::Vesker(Pelko::Road::RoadSurface* road)
    : m_road(road)
{
}

Vesker::~Vesker() = default;

int Vesker::run(QWidget* parent)
{
    StakeExportDialog dialog(m_road, parent);
    return dialog.exec();
}

VeskerPlugin::VeskerPlugin() = default;

VeskerPlugin::~VeskerPlugin() = default;

QString VeskerPlugin::type() const
{
    return EXPORTER;
}

QString VeskerPlugin::id() const
{
    return QStringLiteral("com.zemko.Plugin.VeskerPlugin/2.0");
}

QString VeskerPlugin::name() const
{
    return tr("Vesker");
}

QString VeskerPlugin::description() const
{
    return tr("Vesker to CASS Coordinates");
}

QIcon VeskerPlugin::icon() const
{
    return QIcon();
}

IDataExporter* VeskerPlugin::createExporter(Pelko::Road::RoadSurface* road)
{
    return road ? new Vesker(road) : nullptr;
}

} // namespace Zemko::Trelvin
