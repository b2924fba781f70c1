#include <road/slopesection.h>

namespace Pelko {
namespace Road {

SlopeSection::SlopeSection()
    : d(std::make_shared<SlopeSectionData>())
{
}

SlopeSection::SlopeSection(std::shared_ptr<SlopeSectionData> data)
    : d(data ? std::move(data) : std::make_shared<SlopeSectionData>())
{
}

unsigned int SlopeSection::size() const
{
    return static_cast<unsigned int>(d->elements.size());
}

SlopeSectionElement SlopeSection::at(unsigned int i) const
{
    if (i >= d->elements.size())
        return SlopeSectionElement(SlopeElementInvalid);
    return d->elements[i];
}

SlopeSectionSide SlopeSection::getSide() const
{
    return d->side;
}

} // namespace Road
} // namespace Pelko
