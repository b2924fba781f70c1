#include <road/slopesection.h>
#include <road/slopesectiontemplate.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>

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

bool allFinite(std::initializer_list<double> values)
{
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

template<typename T> SlopeSectionElement loadElement(const internal::Node<T>& node)
{
    const int type = node.getInt("type", SlopeElementInvalid);
    const std::string name = node.getString("name");
    switch (type) {
    case SlopeElementSurface: {
        const double ratio = node.getDouble("ratio");
        const double height = node.getDouble("height");
        if (!allFinite({ ratio, height, ratio * height }))
            return SlopeSectionElement(SlopeElementInvalid);
        return SlopeSectionElement::createSlope(name, height, ratio);
    }
    case SlopeElementPlatform: {
        const double slope = node.getDouble("slope");
        const double width = node.getDouble("width");
        if (!allFinite({ slope, width, slope / 100.0 * width }))
            return SlopeSectionElement(SlopeElementInvalid);
        return SlopeSectionElement::createPlatformBySlope(name, width, slope);
    }
    case SlopeElementRectangularDitch: {
        const double innerHeight = node.getDouble("inner_height");
        const double bottomWidth = node.getDouble("bottom_width");
        const double outerHeight = node.getDouble("outer_height");
        if (!allFinite({ innerHeight, bottomWidth, outerHeight, innerHeight + bottomWidth + outerHeight }))
            return SlopeSectionElement(SlopeElementInvalid);
        return SlopeSectionElement::createSideDitch(name, innerHeight, bottomWidth, outerHeight);
    }
    case SlopeElementTrapezoidDitch: {
        const double innerHeight = node.getDouble("inner_height");
        const double innerWidth = node.getDouble("inner_width");
        const double bottomWidth = node.getDouble("bottom_width");
        const double outerHeight = node.getDouble("outer_height");
        const double outerWidth = node.getDouble("outer_width");
        if (!allFinite({ innerHeight, innerWidth, bottomWidth, outerHeight, outerWidth,
                         innerHeight + outerHeight, innerWidth + bottomWidth + outerWidth }))
            return SlopeSectionElement(SlopeElementInvalid);
        return SlopeSectionElement::createSideDitch(name, innerHeight, innerWidth, bottomWidth, outerHeight,
                                                    outerWidth);
    }
    default:
        // A missing or unknown type keeps the zero-size surface an element starts as.
        return SlopeSectionElement(SlopeElementSurface);
    }
}

template<typename T> void saveElement(const internal::Node<T>& node, const SlopeSectionElement& element)
{
    const SlopeSectionElement::ElementParameters p = element.getParameters();
    node.setInt("type", element.getType());
    node.setString("name", element.getName());
    switch (element.getType()) {
    case SlopeElementSurface:
        node.setDouble("height", element.getHeight());
        node.setDouble("ratio", element.getSlope().getDenominator());
        break;
    case SlopeElementPlatform:
        node.setDouble("width", element.getWidth());
        node.setDouble("slope", element.getSlope().getPercentage());
        break;
    case SlopeElementRectangularDitch:
        node.setDouble("inner_height", p.values[1]);
        node.setDouble("bottom_width", p.values[4]);
        node.setDouble("outer_height", p.values[3]);
        break;
    case SlopeElementTrapezoidDitch:
        node.setDouble("inner_height", p.values[1]);
        node.setDouble("inner_width", p.values[0]);
        node.setDouble("bottom_width", p.values[4]);
        node.setDouble("outer_height", p.values[3]);
        node.setDouble("outer_width", p.values[2]);
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
