#include "section/sectionsideevents.h"

namespace Zemko {
namespace Trelvin {

SectionSideEvents* SectionSideEvents::instance()
{
    static SectionSideEvents events;
    return &events;
}

} // namespace Trelvin
} // namespace Zemko
