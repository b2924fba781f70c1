#pragma once

#include <plugin/iplugin.h>

class QWidget;

namespace Zemko::Trelvin {

// A tool that needs no open road.
class PLUGIN_EXPORT IUtilityPlugin : public IPlugin
{
public:
    using IPlugin::IPlugin;

    virtual int run(QWidget* parent) = 0;
};

} // namespace Zemko::Trelvin

Q_DECLARE_INTERFACE(Zemko::Trelvin::IUtilityPlugin, "com.zemko.Plugin.IUtilityPlugin/2.0")
