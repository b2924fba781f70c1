#pragma once

#include <QString>

namespace Zemko::Trelvin {

// Why the system refused a file operation, from its error number (errno), as words to follow a file's
// name: "no space left on the device", "permission denied", "not a folder". The system's own text for
// rarer numbers; empty for 0.
QString systemErrorText(int error);

} // namespace Zemko::Trelvin
