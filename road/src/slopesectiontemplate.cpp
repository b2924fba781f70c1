#include <road/slopesection.h>
#include <road/slopesectiontemplate.h>

#include <cmath>
#include <cstdint>

namespace Pelko {
namespace Road {

using Corvex::Point;

struct SlopeSectionTemplate::SlopeTemplateData
{
    std::string name;
    SlopeSectionType type = SlopeSectionInvalid;
    SlopeSectionSide side = SlopeSideNeutral;
    std::vector<SlopeSectionElement> elements;
    bool attached = false;

    std::shared_ptr<SlopeTemplateData> clone() const
    {
        auto copy = std::make_shared<SlopeTemplateData>(*this);
        for (SlopeSectionElement& e : copy->elements)
            e = e.clone();
        return copy;
    }
};

namespace {

// Only fill and cut have a list in the library; any other value would be a template nobody can hold.
SlopeSectionType checkedType(int type)
{
    return type == SlopeSectionFill || type == SlopeSectionCut ? static_cast<SlopeSectionType>(type)
                                                               : SlopeSectionInvalid;
}

template<typename T> SlopeSectionElement loadElement(const internal::Node<T>& node)
{
    SlopeSectionElement::StoredValues v;
    const int type = node.getInt("type", SlopeElementInvalid);
    if (type < SlopeElementSurface || type > SlopeElementTrapezoidDitch)
        // A missing or unknown type keeps the zero-size surface an element starts as.
        return SlopeSectionElement(SlopeElementSurface);
    v.type = static_cast<SlopeSectionElementType>(type);
    v.name = node.getString("name");
    switch (v.type) {
    case SlopeElementSurface:
        v.ratio = node.getDouble("ratio");
        v.height = node.getDouble("height");
        break;
    case SlopeElementPlatform:
        v.slope = node.getDouble("slope");
        v.width = node.getDouble("width");
        break;
    default:
        v.innerHeight = node.getDouble("inner_height");
        if (v.type == SlopeElementTrapezoidDitch)
            v.innerWidth = node.getDouble("inner_width");
        v.bottomWidth = node.getDouble("bottom_width");
        v.outerHeight = node.getDouble("outer_height");
        if (v.type == SlopeElementTrapezoidDitch)
            v.outerWidth = node.getDouble("outer_width");
        break;
    }
    // Refused values give an invalid element, which the template drops.
    return SlopeSectionElement::fromStoredValues(v);
}

template<typename T> void saveElement(const internal::Node<T>& node, const SlopeSectionElement& element)
{
    const SlopeSectionElement::StoredValues v = element.storedValues();
    node.setInt("type", v.type);
    node.setString("name", v.name);
    switch (v.type) {
    case SlopeElementSurface:
        node.setDouble("height", v.height);
        node.setDouble("ratio", v.ratio);
        break;
    case SlopeElementPlatform:
        node.setDouble("width", v.width);
        node.setDouble("slope", v.slope);
        break;
    case SlopeElementRectangularDitch:
        node.setDouble("inner_height", v.innerHeight);
        node.setDouble("bottom_width", v.bottomWidth);
        node.setDouble("outer_height", v.outerHeight);
        break;
    case SlopeElementTrapezoidDitch:
        node.setDouble("inner_height", v.innerHeight);
        node.setDouble("inner_width", v.innerWidth);
        node.setDouble("bottom_width", v.bottomWidth);
        node.setDouble("outer_height", v.outerHeight);
        node.setDouble("outer_width", v.outerWidth);
        break;
    default:
        break;
    }
}

} // namespace

SlopeSectionTemplate::SlopeSectionTemplate()
    : d(std::make_shared<SlopeTemplateData>())
{
}

SlopeSectionTemplate::SlopeSectionTemplate(const std::string& name, SlopeSectionType type)
    : d(std::make_shared<SlopeTemplateData>())
{
    d->name = name;
    d->type = checkedType(type);
}

SlopeSectionTemplate::SlopeSectionTemplate(std::shared_ptr<SlopeTemplateData> data)
    : d(data ? std::move(data) : std::make_shared<SlopeTemplateData>())
{
}

bool SlopeSectionTemplate::isValid() const
{
    return d->type != SlopeSectionInvalid;
}

std::string SlopeSectionTemplate::getName() const
{
    return d->name;
}

SlopeSectionType SlopeSectionTemplate::getType() const
{
    return d->type;
}

unsigned int SlopeSectionTemplate::size() const
{
    return static_cast<unsigned int>(d->elements.size());
}

SlopeSectionElement SlopeSectionTemplate::getAt(unsigned int i) const
{
    if (i >= d->elements.size())
        return SlopeSectionElement(SlopeElementInvalid);
    return d->elements[i].clone();
}

SlopeSectionTemplate SlopeSectionTemplate::clone() const
{
    return SlopeSectionTemplate(d->clone());
}

SlopeSectionTemplate SlopeSectionTemplate::mirror(SlopeSectionSide side) const
{
    std::shared_ptr<SlopeTemplateData> copy = d->clone();
    copy->side = side;
    return SlopeSectionTemplate(copy);
}

unsigned long long SlopeSectionTemplate::memoryId() const
{
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(d.get()));
}

SlopeSection SlopeSectionTemplate::generateSlope(const Point& hinge) const
{
    auto section = std::make_shared<SlopeSectionData>();
    section->name = d->name;
    section->type = d->type;
    section->side = d->side;
    section->elements.reserve(d->elements.size());
    Point current = hinge;
    for (const SlopeSectionElement& element : d->elements) {
        SlopeSectionElement placed = element.specialize(current, d->type, d->side);
        current = placed.getEndingPoint();
        section->elements.push_back(placed);
    }
    return SlopeSection(section);
}

void SlopeSectionTemplate::update(const std::string& name, SlopeSectionType type)
{
    d->name = name;
    d->type = checkedType(type);
}

void SlopeSectionTemplate::load(const internal::Node<SlopeSectionTemplate>& node)
{
    const SlopeSectionType type = checkedType(node.getInt("type", SlopeSectionInvalid));
    if (type == SlopeSectionInvalid)
        return;
    update(node.getString("name"), type);
    loadElements(node);
}

void SlopeSectionTemplate::loadElements(const internal::Node<SlopeSectionTemplate>& node)
{
    for (auto child = node.firstChild("element"); child; child.toNextSibling()) {
        SlopeSectionElement element = loadElement(child);
        if (element.isValid())
            d->elements.push_back(element);
    }
}

void SlopeSectionTemplate::save(const internal::Node<SlopeSectionTemplate>& node) const
{
    node.setInt("type", d->type);
    node.setString("name", d->name);
    saveElements(node);
}

void SlopeSectionTemplate::saveElements(const internal::Node<SlopeSectionTemplate>& node) const
{
    for (const SlopeSectionElement& element : d->elements) {
        if (!element.isValid())
            continue;
        saveElement(node.appendChild("element"), element);
    }
}

SlopeSectionTemplateEditable::SlopeSectionTemplateEditable() = default;

SlopeSectionTemplateEditable::SlopeSectionTemplateEditable(const std::string& name, SlopeSectionType type)
    : SlopeSectionTemplate(name, type)
{
}

SlopeSectionTemplateEditable::SlopeSectionTemplateEditable(std::shared_ptr<SlopeTemplateData> data)
    : SlopeSectionTemplate(std::move(data))
{
}

bool SlopeSectionTemplateEditable::add(const SlopeSectionElement& element)
{
    d->elements.push_back(element);
    return true;
}

bool SlopeSectionTemplateEditable::setAt(unsigned int i, const SlopeSectionElement& element)
{
    if (i >= d->elements.size())
        return false;
    d->elements[i] = element.clone();
    return true;
}

bool SlopeSectionTemplateEditable::removeAt(unsigned int i)
{
    if (i >= d->elements.size())
        return false;
    d->elements.erase(d->elements.begin() + i);
    return true;
}

void SlopeSectionTemplateEditable::setName(const std::string& name)
{
    d->name = name;
}

void SlopeSectionTemplateEditable::setType(SlopeSectionType type)
{
    d->type = checkedType(type);
}

SlopeSectionTemplateEditable SlopeSectionTemplateEditable::clone() const
{
    return SlopeSectionTemplateEditable(d->clone());
}

SlopeSectionTemplate SlopeSectionTemplateEditable::toTemplate() const
{
    return SlopeSectionTemplate(d->clone());
}

void SlopeSectionTemplateEditable::attachToLibrary()
{
    d->attached = true;
}

void SlopeSectionTemplateEditable::detachFromLibrary()
{
    d->attached = false;
}

SlopeSectionTemplateEditable SlopeSectionTemplateEditable::fromTemplate(const SlopeSectionTemplate& t)
{
    if (t.d->attached)
        return SlopeSectionTemplateEditable();
    return SlopeSectionTemplateEditable(t.d);
}

void SlopeSectionTemplateEditable::load(const internal::Node<SlopeSectionTemplateEditable>& node)
{
    SlopeSectionTemplate::load(node.cast<SlopeSectionTemplate>());
}

void SlopeSectionTemplateEditable::save(const internal::Node<SlopeSectionTemplateEditable>& node) const
{
    SlopeSectionTemplate::save(node.cast<SlopeSectionTemplate>());
}

} // namespace Road
} // namespace Pelko
