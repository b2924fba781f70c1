#include <plugin/idataexporterplugin.h>
#include <plugin/idataimporterplugin.h>
#include <plugin/iplugin.h>

namespace Zemko::Trelvin {

const QString IPlugin::EXPORTER = QStringLiteral("Exporter");
const QString IPlugin::IMPORTER = QStringLiteral("Importer");
const QString IPlugin::UTILITY = QStringLiteral("Utility");

IPlugin::IPlugin(QObject* parent)
    : QObject(parent)
{
}

IPlugin::~IPlugin() = default;

IDataExporter::~IDataExporter() = default;

IDataImporter::~IDataImporter() = default;

} // namespace Zemko::Trelvin
