#include <plugin/pluginmanager.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPluginLoader>
#include <QSet>

#include <vector>

namespace Zemko::Trelvin {

struct PluginManager::Private
{
    bool loaded = false;
    QList<IDataExporterPlugin*> exporters;
    QList<IDataImporterPlugin*> importers;
    QList<IUtilityPlugin*> utilities;
    QSet<QString> ids;
    // Never unloaded: the plug-in objects must outlive every caller.
    std::vector<std::unique_ptr<QPluginLoader>> loaders;
    std::vector<std::unique_ptr<IPlugin>> registered;

    // Sorts the plug-in into the lists of its kinds; false (with the reason) when it cannot be used.
    bool add(IPlugin* plugin, QString* reason);
    void loadFolder(const QString& folder, QSet<QString>& seenFiles);
};

namespace {

template<typename Interface> Interface* findById(const QList<Interface*>& plugins, const QString& id)
{
    for (Interface* plugin : plugins) {
        if (plugin->id() == id)
            return plugin;
    }
    return nullptr;
}

QStringList searchFolders()
{
    QStringList folders;
    const QString path = qEnvironmentVariable("TRELVIN_PLUGIN_PATH");
    for (const QString& folder : path.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders << folder;
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath() + QStringLiteral("/plugins");
    return folders;
}

} // namespace

bool PluginManager::Private::add(IPlugin* plugin, QString* reason)
{
    const QString id = plugin->id();
    if (id.isEmpty()) {
        *reason = QStringLiteral("the plug-in has no id");
        return false;
    }
    if (ids.contains(id)) {
        *reason = QStringLiteral("the id %1 is taken by an earlier plug-in").arg(id);
        return false;
    }
    auto* exporter = qobject_cast<IDataExporterPlugin*>(plugin);
    auto* importer = qobject_cast<IDataImporterPlugin*>(plugin);
    auto* utility = qobject_cast<IUtilityPlugin*>(plugin);
    if (!exporter && !importer && !utility) {
        *reason = QStringLiteral("%1 is of no known plug-in kind").arg(id);
        return false;
    }
    ids.insert(id);
    if (exporter)
        exporters << exporter;
    if (importer)
        importers << importer;
    if (utility)
        utilities << utility;
    return true;
}

void PluginManager::Private::loadFolder(const QString& folder, QSet<QString>& seenFiles)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString path = dir.absoluteFilePath(name);
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!QLibrary::isLibrary(path) || seenFiles.contains(canonical))
            continue;
        seenFiles.insert(canonical);

        auto loader = std::make_unique<QPluginLoader>(path);
        QObject* object = loader->instance();
        if (!object) {
            qWarning("Plug-in %s skipped: %s", qUtf8Printable(path), qUtf8Printable(loader->errorString()));
            continue;
        }
        auto* plugin = qobject_cast<IPlugin*>(object);
        QString reason = QStringLiteral("not a plug-in of this program");
        if (!plugin || !add(plugin, &reason)) {
            qWarning("Plug-in %s skipped: %s", qUtf8Printable(path), qUtf8Printable(reason));
            continue;
        }
        loaders.push_back(std::move(loader));
    }
}

PluginManager::PluginManager()
    : d(std::make_unique<Private>())
{
}

// Destroying a loader leaves its library loaded: plug-in objects stay valid until the process ends.
PluginManager::~PluginManager() = default;

PluginManager& PluginManager::instance()
{
    static PluginManager manager;
    return manager;
}

void PluginManager::load()
{
    if (d->loaded)
        return;
    d->loaded = true;
    QSet<QString> seenFiles;
    for (const QString& folder : searchFolders())
        d->loadFolder(folder, seenFiles);
}

QList<IDataExporterPlugin*> PluginManager::exporterPlugins() const
{
    return d->exporters;
}

QList<IDataImporterPlugin*> PluginManager::importerPlugins() const
{
    return d->importers;
}

QList<IUtilityPlugin*> PluginManager::utlityPlugins() const
{
    return d->utilities;
}

IDataExporterPlugin* PluginManager::exporterPlugin(const QString& id) const
{
    return findById(d->exporters, id);
}

IDataImporterPlugin* PluginManager::importerPlugin(const QString& id) const
{
    return findById(d->importers, id);
}

IUtilityPlugin* PluginManager::utilityPlugin(const QString& id) const
{
    return findById(d->utilities, id);
}

bool PluginManager::registerPlugin(IPlugin* plugin)
{
    std::unique_ptr<IPlugin> owned(plugin);
    QString reason;
    if (!plugin || !d->add(plugin, &reason))
        return false;
    d->registered.push_back(std::move(owned));
    return true;
}

void PluginManager::reset()
{
    d->loaded = false;
    d->exporters.clear();
    d->importers.clear();
    d->utilities.clear();
    d->ids.clear();
    d->registered.clear();
}

} // namespace Zemko::Trelvin
