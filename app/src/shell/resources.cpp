#include "shell/resources.h"

#include <QCoreApplication>
#include <QtGlobal>

// The resource macros name global functions, so they cannot be used inside a namespace.
static void registerTrelvinResources()
{
    Q_INIT_RESOURCE(trelvin);
}

static void unregisterTrelvinResources()
{
    Q_CLEANUP_RESOURCE(trelvin);
}

namespace Zemko {
namespace Trelvin {

void initResources()
{
    static const bool registered = [] {
        registerTrelvinResources();
        qAddPostRoutine(unregisterTrelvinResources);
        return true;
    }();
    Q_UNUSED(registered)
}

} // namespace Trelvin
} // namespace Zemko
