#pragma once

#include <road/road_global.h>

#include <array>
#include <memory>
#include <string>
#include <utility>

namespace tinyxml2 {
class XMLElement;
}

namespace Pelko {
namespace Road {
namespace internal {
namespace Xml {

// One element of the road file together with the file's version numbers, so that any loader in the
// tree can test the version without walking up to the root. The element belongs to the document.
//
// With reuse, removing all children only marks them stale: the writes that follow take a stale child
// of the same name back, in order, instead of allocating a new one, and settleTree deletes what was not
// taken back. The document reads the same as if the children had been deleted at once; reads settle
// the element they look into first.
class ValueChildren;

class ROAD_EXPORT NodeImpl
{
public:
    NodeImpl(tinyxml2::XMLElement* element, int version, int fullVersion, bool reuse = false);

    bool isNull() const { return m_element == nullptr; }
    tinyxml2::XMLElement* element() const { return m_element; }
    int getVersion() const { return m_version; }
    int getFullVersion() const { return m_fullVersion; }

    std::string getName() const;

    // Value children: text of the first child of that name, or the default when it is missing or
    // its text is not a number. Numbers are read and written independently of the process locale.
    int getInt(const std::string& name, int defaultValue) const;
    double getDouble(const std::string& name, double defaultValue) const;
    std::string getString(const std::string& name, const std::string& defaultValue) const;

    void setInt(const std::string& name, int value);
    void setDouble(const std::string& name, double value);
    void setString(const std::string& name, const std::string& value);

    // The value children of these names as they stand now, for a loader reading many values of one
    // element.
    ValueChildren values(const char* const* names, unsigned count) const;

    std::shared_ptr<NodeImpl> firstChild(const std::string& name) const;
    std::shared_ptr<NodeImpl> nextSibling() const;
    // Moves this node on to its next sibling of the same name; false, and null, when there is none.
    bool toNextSibling();
    std::shared_ptr<NodeImpl> appendChild(const std::string& name);
    // The empty name removes every child.
    void removeChildren(const std::string& name);

    // Deletes the children still marked stale anywhere in the element's document.
    static void settleTree(tinyxml2::XMLElement* element);

private:
    tinyxml2::XMLElement* valueChild(const std::string& name);
    tinyxml2::XMLElement* nextSiblingElement() const;
    void setText(const std::string& name, const char* text);

    tinyxml2::XMLElement* m_element;
    int m_version;
    int m_fullVersion;
    bool m_reuse;
};

// The first child of each of a loader's value names, found in one walk over the element's children
// instead of one walk per value; reads the same values as NodeImpl's getters. A loader lists the names
// in the order its writer writes them, so that each child matches the name it is compared with first;
// the names are distinct.
// Holds pointers into the document: only for reads while the element is left unchanged.
class ROAD_EXPORT ValueChildren
{
public:
    static constexpr unsigned maxNames = 24;

    ValueChildren() = default;
    // More than maxNames names: the ones past it read as missing.
    ValueChildren(tinyxml2::XMLElement* element, const char* const* names, unsigned count);

    // The value of the name at that place in the list.
    int getInt(unsigned index, int defaultValue) const;
    double getDouble(unsigned index, double defaultValue) const;

private:
    const tinyxml2::XMLElement* child(unsigned index) const
    {
        return index < m_children.size() ? m_children[index] : nullptr;
    }

    std::array<const tinyxml2::XMLElement*, maxNames> m_children {};
};

// Text forms of numbers as the road file stores them ("%d" and "%.17g" in the C locale).
ROAD_EXPORT std::string formatInt(int value);
ROAD_EXPORT std::string formatDouble(double value);
// Whole-text parses (surrounding blanks allowed); false leaves value untouched.
ROAD_EXPORT bool parseInt(const char* text, int& value);
ROAD_EXPORT bool parseDouble(const char* text, double& value);

} // namespace Xml

// Typed handle on one node of the road file. T only names the class whose load/save receives it;
// copies share the same NodeImpl. Handles are cheap and const: writing through one changes the document,
// not the handle.
template<typename T, typename Impl = Xml::NodeImpl> class Node
{
public:
    using ImplPtr = std::shared_ptr<Impl>;

    Node() = default;
    explicit Node(ImplPtr impl)
        : m_impl(std::move(impl))
    {
    }

    bool isEmpty() const { return !m_impl || m_impl->isNull(); }
    bool isNull() const { return isEmpty(); }
    explicit operator bool() const { return !isEmpty(); }
    const ImplPtr& impl() const { return m_impl; }

    int getVersion() const { return m_impl ? m_impl->getVersion() : 0; }
    int getFullVersion() const { return m_impl ? m_impl->getFullVersion() : 0; }
    std::string getName() const { return isEmpty() ? std::string() : m_impl->getName(); }

    int getInt(const std::string& name, int defaultValue = 0) const
    {
        return isEmpty() ? defaultValue : m_impl->getInt(name, defaultValue);
    }
    double getDouble(const std::string& name, double defaultValue = 0.0) const
    {
        return isEmpty() ? defaultValue : m_impl->getDouble(name, defaultValue);
    }
    std::string getString(const std::string& name, const std::string& defaultValue = std::string()) const
    {
        return isEmpty() ? defaultValue : m_impl->getString(name, defaultValue);
    }

    void setInt(const std::string& name, int value) const
    {
        if (!isEmpty())
            m_impl->setInt(name, value);
    }
    void setDouble(const std::string& name, double value) const
    {
        if (!isEmpty())
            m_impl->setDouble(name, value);
    }
    void setString(const std::string& name, const std::string& value) const
    {
        if (!isEmpty())
            m_impl->setString(name, value);
    }
    // Missing node: every value reads as its default.
    template<unsigned N> Xml::ValueChildren values(const char* const (&names)[N]) const
    {
        static_assert(N <= Xml::ValueChildren::maxNames, "too many values for one walk");
        return isEmpty() ? Xml::ValueChildren() : m_impl->values(names, N);
    }

    template<typename U = T> Node<U, Impl> firstChild(const std::string& name) const
    {
        return isEmpty() ? Node<U, Impl>() : Node<U, Impl>(m_impl->firstChild(name));
    }
    Node nextSibling() const { return isEmpty() ? Node() : Node(m_impl->nextSibling()); }
    // The same step for a loader's walk over many siblings: a handle no other shares moves on in place
    // instead of allocating one per sibling.
    void toNextSibling()
    {
        if (isEmpty())
            return;
        if (m_impl.use_count() != 1)
            m_impl = m_impl->nextSibling();
        else if (!m_impl->toNextSibling())
            m_impl.reset();
    }
    template<typename U = T> Node<U, Impl> appendChild(const std::string& name) const
    {
        return isEmpty() ? Node<U, Impl>() : Node<U, Impl>(m_impl->appendChild(name));
    }
    // The empty name removes every child.
    void removeChildren(const std::string& name = std::string()) const
    {
        if (!isEmpty())
            m_impl->removeChildren(name);
    }

    template<typename U> Node<U, Impl> cast() const { return Node<U, Impl>(m_impl); }

    void reset() { m_impl.reset(); }
    void reset(ImplPtr impl) { m_impl = std::move(impl); }
    template<typename U> void reset(const Node<U, Impl>& other) { m_impl = other.impl(); }

private:
    ImplPtr m_impl;
};

} // namespace internal
} // namespace Road
} // namespace Pelko
