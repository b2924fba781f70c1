#pragma once

#include <memory>
#include <vector>

namespace Pelko {
namespace Road {

// The element at() hands out for an index out of range. A type whose default value is a valid
// element (a point PI at the origin) specialises this to give its null element instead.
template<typename T> struct NullElement
{
    static T get() { return T(); }
};

// Editable ordered list of value handles. Every change goes through here and is reported to the
// derived list, which keeps dependent data (chained stations, neighbouring curves) in step.
// Copies share the vector; a derived clone() makes an independent copy through cloneTo().
template<typename T> class ElementConfiguration
{
public:
    struct ElementConfigurationData
    {
        std::vector<T> elements;
    };

    ElementConfiguration()
        : d(std::make_shared<ElementConfigurationData>())
    {
    }
    ElementConfiguration(const ElementConfiguration& other) = default;
    ElementConfiguration& operator=(const ElementConfiguration& other) = default;
    virtual ~ElementConfiguration() = default;

    unsigned size() const { return static_cast<unsigned>(d->elements.size()); }
    bool isEmpty() const { return d->elements.empty(); }

    // Out of range gives the null element rather than failing.
    T at(unsigned index) const { return index < size() ? d->elements[index] : NullElement<T>::get(); }
    T operator[](unsigned index) const { return at(index); }

    void append(const T& element) { insertBefore(size(), element); }

    void insertBefore(unsigned index, const T& element)
    {
        if (index > size())
            index = size();
        d->elements.insert(d->elements.begin() + index, element);
        onInserted(index);
    }

    void set(unsigned index, const T& element)
    {
        if (index >= size())
            return;
        d->elements[index] = element;
        onInserted(index);
    }

    bool removeAt(unsigned index)
    {
        if (index >= size())
            return false;
        onAboutToRemove(index);
        // The hook may have edited the list; only erase what is still there.
        if (index < size())
            d->elements.erase(d->elements.begin() + index);
        return true;
    }

protected:
    // Called after the vector gained or replaced the element at index.
    virtual void onInserted(unsigned index) = 0;
    // Called while the element at index is still in the list.
    virtual void onAboutToRemove(unsigned index) = 0;
    virtual void onUpdated(unsigned index) = 0;

    void append(const std::vector<T>& elements)
    {
        for (const T& element : elements)
            append(element);
    }

    void cloneTo(std::vector<T>& elements) const
    {
        elements.clear();
        elements.reserve(d->elements.size());
        for (const T& element : d->elements)
            elements.push_back(element.clone());
    }

    // Direct access for derived lists that must update neighbours in place or rebuild the
    // vector without running the hooks for each element.
    std::vector<T>& elements() { return d->elements; }
    const std::vector<T>& elements() const { return d->elements; }

private:
    std::shared_ptr<ElementConfigurationData> d;
};

} // namespace Road
} // namespace Pelko
