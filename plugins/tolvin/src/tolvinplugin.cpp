#include "tolvinplugin.h"

#include "tindialog.h"
#include "tingenerator.h"

namespace Zemko::Trelvin {

TolvinPlugin::TolvinPlugin(QObject* parent)
    : IUtilityPlugin(parent)
{
}

TolvinPlugin::~TolvinPlugin()
{
    // Runs whose dialog went away may still be writing; their code leaves with this plug-in.
    TinGenerator::finishAbandoned();
}

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
    // Titled as its entry in the Tools menu.
    dialog.setWindowTitle(name());
    return dialog.exec();
}

} // namespace Zemko::Trelvin
