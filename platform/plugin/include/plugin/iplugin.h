#pragma once

#include <plugin/plugin_global.h>

#include <QIcon>
#include <QObject>
#include <QString>

namespace Zemko::Trelvin {

// Base of every plug-in object. A plug-in also derives from one of the kind interfaces
// (IDataExporterPlugin, IDataImporterPlugin, IUtilityPlugin) and names it with Q_INTERFACES, which
// is how the manager sorts it.
class PLUGIN_EXPORT IPlugin : public QObject
{
    Q_OBJECT

public:
    // What type() answers for each kind.
    static const QString EXPORTER;
    static const QString IMPORTER;
    static const QString UTILITY;

    explicit IPlugin(QObject* parent = nullptr);
    ~IPlugin() override;

    virtual QString type() const = 0;
    // "com.zemko.Plugin.<name>/2.0"; unique among the loaded plug-ins.
    virtual QString id() const = 0;
    virtual QString name() const = 0;
    virtual QString description() const = 0;
    virtual QIcon icon() const = 0;
};

} // namespace Zemko::Trelvin
