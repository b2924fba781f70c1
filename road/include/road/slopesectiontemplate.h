#pragma once

#include <road/internal/node.h>
#include <road/road_global.h>
#include <road/slope.h>
#include <road/slopesectionelement.h>

#include <corvex/point.h>

#include <memory>
#include <string>
#include <vector>

namespace Pelko {
namespace Road {

class RoadSurface;
class SlopeSection;
class SlopeSectionConfiguration;
class SlopeSectionSegment;
class SlopeSectionTemplateConfiguration;
class SlopeSectionTemplateEditable;
class SlopeSectionTemplateInterpolator;
class SlopeSectionTemplateLibrary;

// A named fill or cut recipe: elements laid outward from a hinge point. Copies share the data; clone()
// deep-copies.
class ROAD_EXPORT SlopeSectionTemplate
{
public:
    struct SlopeTemplateData;

    SlopeSectionTemplate();
    SlopeSectionTemplate(const std::string& name, SlopeSectionType type);

    bool isValid() const;
    explicit operator bool() const { return isValid(); }

    std::string getName() const;
    SlopeSectionType getType() const;
    unsigned int size() const;
    // A clone of element i; an invalid element when i is out of range.
    SlopeSectionElement getAt(unsigned int i) const;

    SlopeSectionTemplate clone() const;
    // The side takes effect when the slope is generated.
    SlopeSectionTemplate mirror(SlopeSectionSide side) const;
    // Equal for handles that share one data object.
    unsigned long long memoryId() const;

    SlopeSection generateSlope(const Corvex::Point& hinge) const;

protected:
    explicit SlopeSectionTemplate(std::shared_ptr<SlopeTemplateData> data);

    void update(const std::string& name, SlopeSectionType type);
    void load(const internal::Node<SlopeSectionTemplate>& node);
    void loadElements(const internal::Node<SlopeSectionTemplate>& node);
    void save(const internal::Node<SlopeSectionTemplate>& node) const;
    void saveElements(const internal::Node<SlopeSectionTemplate>& node) const;

    std::shared_ptr<SlopeTemplateData> d;

private:
    friend class SlopeSectionTemplateEditable;
    friend class SlopeSectionTemplateLibrary;
    friend class SlopeSectionTemplateConfiguration;
    friend class SlopeSectionTemplateInterpolator;
    friend class SlopeSectionSegment;
    friend class SlopeSectionConfiguration;
    friend class RoadSurface;
};

class ROAD_EXPORT SlopeSectionTemplateEditable : public SlopeSectionTemplate
{
public:
    SlopeSectionTemplateEditable();
    SlopeSectionTemplateEditable(const std::string& name, SlopeSectionType type);
    SlopeSectionTemplateEditable(const SlopeSectionTemplateEditable&) = default;
    SlopeSectionTemplateEditable& operator=(const SlopeSectionTemplateEditable&) = default;

    // The template keeps a handle sharing the element's data.
    bool add(const SlopeSectionElement& element);
    // Stores a clone; false and no change when i is out of range.
    bool setAt(unsigned int i, const SlopeSectionElement& element);
    bool removeAt(unsigned int i);
    void setName(const std::string& name);
    // Anything but fill or cut makes the template invalid.
    void setType(SlopeSectionType type);

    SlopeSectionTemplateEditable clone() const;

protected:
    explicit SlopeSectionTemplateEditable(std::shared_ptr<SlopeTemplateData> data);

    SlopeSectionTemplate toTemplate() const;
    void attachToLibrary();
    void detachFromLibrary();
    // Shares the template's data unless a library holds it; then a new empty template.
    static SlopeSectionTemplateEditable fromTemplate(const SlopeSectionTemplate& t);

    void load(const internal::Node<SlopeSectionTemplateEditable>& node);
    void save(const internal::Node<SlopeSectionTemplateEditable>& node) const;

private:
    friend class SlopeSectionTemplateLibrary;
    friend class SlopeSectionTemplateConfiguration;
    friend class SlopeSectionTemplateInterpolator;
    friend class SlopeSectionSegment;
    friend class SlopeSectionConfiguration;
    friend class RoadSurface;
};

} // namespace Road
} // namespace Pelko
