#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/slope.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>

#include <memory>

namespace Pelko {
namespace Road {

class RoadSurface;

// The slope segments of both sides and the library they resolve their templates in: the road file's
// "SlopeSection" part. Copies share the data.
class ROAD_EXPORT SlopeSectionConfiguration
{
public:
    struct SlopeSectionConfigurationData;

    SlopeSectionConfiguration();

    // Both sides then resolve their templates in lib.
    void attach(const SlopeSectionTemplateLibrary& lib);
    // Each side is left with a fresh library of its own.
    void detach();

    // The side's configuration (shared); a fresh one for any other side.
    SlopeSectionTemplateConfiguration get(SlopeSectionSide side) const;
    // The side then shares c, whose side is set to match; c keeps its library.
    void set(SlopeSectionSide side, const SlopeSectionTemplateConfiguration& c);

    SlopeSectionTemplateConfiguration getConfiguration(SlopeSectionSide side, SlopeSectionType type) const;
    SlopeSectionTemplateConfiguration getLeftConfigurationAt(double station) const;
    SlopeSectionTemplateConfiguration getRightConfigurationAt(double station) const;

    void update();

protected:
    void load(const internal::Node<SlopeSectionConfiguration>& node);
    void save(const internal::Node<SlopeSectionConfiguration>& node) const;

private:
    friend class RoadSurface;

    std::shared_ptr<SlopeSectionConfigurationData> d;
};

} // namespace Road
} // namespace Pelko
