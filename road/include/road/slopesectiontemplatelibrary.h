#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/slope.h>
#include <road/slopesectiontemplate.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace Pelko {
namespace Road {

class RoadSurface;
class SlopeSectionConfiguration;
class SlopeSectionTemplateConfiguration;

// The road's named slope templates, one list for fill and one for cut. Names are unique across both
// lists. Copies share the data.
class ROAD_EXPORT SlopeSectionTemplateLibrary
{
public:
    struct SlopeConfigurationData;

    struct Error
    {
        enum Code : std::int32_t {
            Success = 0,
            InvalidIndex = 1,
            InvalidType = 2,
            NameTaken = 3,
            // An element the road file would not give back (see SlopeSectionElement::isKeptByRoadFile);
            // the index is the element's.
            ElementNotKept = 4,
        };

        std::int32_t index = -1;
        std::int32_t code = Success;
    };

    // A slope segment that uses a template: the side of its configuration and its name.
    struct Use
    {
        bool used = false;
        SlopeSectionSide side = SlopeSideNeutral;
        std::string segment;

        explicit operator bool() const { return used; }
    };

    SlopeSectionTemplateLibrary();

    // Appends t to the list of its type; the library then shares t's data. What the library holds is
    // what the road file keeps: add and setAt refuse a template with an element the file would not
    // give back.
    Error add(const SlopeSectionTemplateEditable& t);
    // Replaces template i of t's type by a clone of t. A new name is carried into the slope segments
    // that name the template in every configuration attached to this library, which are saved by
    // template name.
    Error setAt(unsigned int i, const SlopeSectionTemplateEditable& t);
    // False, with nothing removed, when i is out of range or a slope segment of a configuration
    // attached to this library uses the template (findUse): its segments are saved by template name.
    bool removeAt(SlopeSectionType type, unsigned int i);
    // The first segment that uses template i of the type, of the configurations attached to this
    // library in the order they were attached; none when i is out of range.
    Use findUse(SlopeSectionType type, unsigned int i) const;

    // A clone; an invalid template when i is out of range.
    SlopeSectionTemplateEditable getAt(SlopeSectionType type, unsigned int i) const;
    unsigned int size(SlopeSectionType type) const;
    SlopeSectionTemplate getByName(SlopeSectionType type, const std::string& name) const;
    // Cut templates are searched before fill templates.
    SlopeSectionTemplate getByName(const std::string& name) const;
    // base, or base_1, base_2, ... whichever is free first.
    std::string getAvailableName(const std::string& base) const;
    bool isAvailable() const;

protected:
    bool isNameTaken(const std::string& name) const;
    void load(const internal::Node<SlopeSectionTemplateLibrary>& node);
    void save(const internal::Node<SlopeSectionTemplateLibrary>& node) const;

private:
    friend class RoadSurface;
    friend class SlopeSectionConfiguration;
    friend class SlopeSectionTemplateConfiguration;

    explicit SlopeSectionTemplateLibrary(std::shared_ptr<SlopeConfigurationData> data);

    // The owner's (a configuration attached to the library) first segment using the template of that
    // type and name. An owner that is gone uses nothing.
    using UsageCheck = std::function<Use(SlopeSectionType, const std::string&)>;
    // Points the owner's segment ends that name the template from at the renamed template.
    using RenameHook = std::function<void(const std::string& from, const SlopeSectionTemplate& renamed)>;
    void addUser(const std::shared_ptr<const void>& owner, UsageCheck check, RenameHook rename);
    void removeUser(const std::shared_ptr<const void>& owner);

    std::shared_ptr<SlopeConfigurationData> d;
};

} // namespace Road
} // namespace Pelko
