#include "tolvinplugin.h"

#include "tindialog.h"

namespace Zemko::Trelvin {

TolvinPlugin::TolvinPlugin(QObject* parent)
    : IUtilityPlugin(parent)
{
}

TolvinPlugin::~TolvinPlugin() = default;

QString TolvinPlugin::type() const
{
    return UTILITY;
}

QString TolvinPlugin::id() const
{
    return QStringLiteral("com.zemko.Plugin.TolvinPlugin/2.0");
}

QString TolvinPlugin::name() const
{
    return tr("TIN Generator");
}

QString TolvinPlugin::description() const
{
    return tr("TIN Generator from DXF or CASS Coordinates");
}

QIcon TolvinPlugin::icon() const
{
    return QIcon();
}

int TolvinPlugin::run(QWidget* parent)
{
    TinDialog dialog(parent);
    return dialog.exec();
}

} // namespace Zemko::Trelvin
