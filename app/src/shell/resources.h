#pragma once

namespace Zemko {
namespace Trelvin {

// Registers the compiled-in icons under ":/edit/edit/". The program's code is a static library, so
// main() and every test that shows an icon call this first; calling it again does nothing. The
// resources are unregistered when the application object goes away.
void initResources();

} // namespace Trelvin
} // namespace Zemko
