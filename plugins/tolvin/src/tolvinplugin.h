#pragma once

#include <plugin/iutilityplugin.h>

namespace Zemko::Trelvin {

// The TIN generator in the program's Tools menu.
class TolvinPlugin : public IUtilityPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "com.zemko.Plugin.TolvinPlugin/2.0")
    Q_INTERFACES(Zemko::Trelvin::IUtilityPlugin)

public:
    explicit TolvinPlugin(QObject* parent = nullptr);
    ~TolvinPlugin() override;

    QString type() const override;
    QString id() const override;
    QString name() const override;
    QString description() const override;
    QIcon icon() const override;
    // Runs the TIN dialog modally; its exec() result.
    int run(QWidget* parent) override;
};

} // namespace Zemko::Trelvin
