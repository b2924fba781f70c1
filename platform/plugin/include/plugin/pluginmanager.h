#pragma once

#include <plugin/idataexporterplugin.h>
#include <plugin/idataimporterplugin.h>
#include <plugin/iutilityplugin.h>

#include <QList>

#include <memory>

namespace Zemko::Trelvin {

// Finds the plug-in libraries and keeps their objects for the whole run. Folders searched: those
// of TRELVIN_PLUGIN_PATH (':' separated) in order, then "plugins" beside the program; the files of
// a folder in name order. A file that fails to load, is no plug-in of ours or repeats an id is
// skipped with a warning.
class PLUGIN_EXPORT PluginManager
{
public:
    static PluginManager& instance();

    // Only the first call after start (or after reset()) searches the folders.
    void load();

    QList<IDataExporterPlugin*> exporterPlugins() const;
    QList<IDataImporterPlugin*> importerPlugins() const;
    QList<IUtilityPlugin*> utlityPlugins() const;

    // Null when no plug-in of that kind has the id.
    IDataExporterPlugin* exporterPlugin(const QString& id) const;
    IDataImporterPlugin* importerPlugin(const QString& id) const;
    IUtilityPlugin* utilityPlugin(const QString& id) const;

    // For tests: adds an in-process plug-in after those loaded so far. The manager takes ownership;
    // a null plug-in, one of no known kind or one with a repeated id is refused and deleted.
    bool registerPlugin(IPlugin* plugin);
    // For tests: forgets every plug-in (deleting the registered ones) so that load() searches again.
    // Loaded libraries stay loaded.
    void reset();

    PluginManager(const PluginManager&) = delete;
    PluginManager& operator=(const PluginManager&) = delete;

private:
    PluginManager();
    ~PluginManager();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace Zemko::Trelvin
