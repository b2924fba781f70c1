#include <io/iprogress.h>

namespace Pelko {
namespace IO {

IProgress* NullProgress::instance()
{
    static NullProgress progress;
    return &progress;
}

} // namespace IO
} // namespace Pelko
