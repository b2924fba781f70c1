#include <road/internal/node.h>

#include <tinyxml2.h>

#include <charconv>
#include <cstring>

namespace Pelko {
namespace Road {
namespace internal {
namespace Xml {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Trims blanks; false when nothing is left.
bool trimmed(const char *text, const char *&first, const char *&last)
{
    if (!text)
        return false;
    first = text;
    last = text + std::strlen(text);
    while (first < last && isBlank(*first))
        ++first;
    while (last > first && isBlank(last[-1]))
        --last;
    return first < last;
}

bool isNameStart(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

bool isNameChar(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Element names come from code, but a bad one would make the saved file unreadable.
bool isValidName(const std::string &name)
{
    if (name.empty() || !isNameStart(static_cast<unsigned char>(name[0])))
        return false;
    for (char c : name)
        if (!isNameChar(static_cast<unsigned char>(c)))
            return false;
    return true;
}

const tinyxml2::XMLElement *findChild(const tinyxml2::XMLElement *element, const std::string &name)
{
    if (!element || name.empty())
        return nullptr;
    return element->FirstChildElement(name.c_str());
}

} // namespace

std::string formatInt(int value)
{
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

std::string formatDouble(double value)
{
    // to_chars with a precision is printf's "%.17g" in the C locale.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 17);
    if (result.ec != std::errc())
        return std::string();
    return std::string(buffer, result.ptr);
}

bool parseInt(const char *text, int &value)
{
    const char *first;
    const char *last;
    if (!trimmed(text, first, last))
        return false;
    int parsed = 0;
    auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    value = parsed;
    return true;
}

bool parseDouble(const char *text, double &value)
{
    const char *first;
    const char *last;
    if (!trimmed(text, first, last))
        return false;
    double parsed = 0.0;
    auto result = std::from_chars(first, last, parsed, std::chars_format::general);
    // Out of range (1e999) is refused rather than turned into infinity.
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    value = parsed;
    return true;
}

NodeImpl::NodeImpl(tinyxml2::XMLElement *element, int version, int fullVersion)
    : m_element(element), m_version(version), m_fullVersion(fullVersion)
{
}

std::string NodeImpl::getName() const
{
    if (!m_element)
        return std::string();
    const char *name = m_element->Name();
    return name ? std::string(name) : std::string();
}

int NodeImpl::getInt(const std::string &name, int defaultValue) const
{
    const tinyxml2::XMLElement *child = findChild(m_element, name);
    int value = defaultValue;
    if (!child || !parseInt(child->GetText(), value))
        return defaultValue;
    return value;
}

double NodeImpl::getDouble(const std::string &name, double defaultValue) const
{
    const tinyxml2::XMLElement *child = findChild(m_element, name);
    double value = defaultValue;
    if (!child || !parseDouble(child->GetText(), value))
        return defaultValue;
    return value;
}

std::string NodeImpl::getString(const std::string &name, const std::string &defaultValue) const
{
    const tinyxml2::XMLElement *child = findChild(m_element, name);
    const char *text = child ? child->GetText() : nullptr;
    return text ? std::string(text) : defaultValue;
}

tinyxml2::XMLElement *NodeImpl::valueChild(const std::string &name)
{
    if (!m_element || !isValidName(name))
        return nullptr;
    tinyxml2::XMLElement *child = m_element->FirstChildElement(name.c_str());
    if (child) {
        child->DeleteChildren();
        return child;
    }
    child = m_element->GetDocument()->NewElement(name.c_str());
    m_element->InsertEndChild(child);
    return child;
}

void NodeImpl::setInt(const std::string &name, int value)
{
    if (tinyxml2::XMLElement *child = valueChild(name))
        child->SetText(formatInt(value).c_str());
}

void NodeImpl::setDouble(const std::string &name, double value)
{
    if (tinyxml2::XMLElement *child = valueChild(name))
        child->SetText(formatDouble(value).c_str());
}

void NodeImpl::setString(const std::string &name, const std::string &value)
{
    if (tinyxml2::XMLElement *child = valueChild(name)) {
        // An empty text node would read back as a missing value anyway; leave the element empty.
        if (!value.empty())
            child->SetText(value.c_str());
    }
}

std::shared_ptr<NodeImpl> NodeImpl::firstChild(const std::string &name) const
{
    if (!m_element || name.empty())
        return nullptr;
    tinyxml2::XMLElement *child = m_element->FirstChildElement(name.c_str());
    return child ? std::make_shared<NodeImpl>(child, m_version, m_fullVersion) : nullptr;
}

std::shared_ptr<NodeImpl> NodeImpl::nextSibling() const
{
    if (!m_element)
        return nullptr;
    tinyxml2::XMLElement *next = m_element->NextSiblingElement(m_element->Name());
    return next ? std::make_shared<NodeImpl>(next, m_version, m_fullVersion) : nullptr;
}

std::shared_ptr<NodeImpl> NodeImpl::appendChild(const std::string &name)
{
    if (!m_element || !isValidName(name))
        return nullptr;
    tinyxml2::XMLElement *child = m_element->GetDocument()->NewElement(name.c_str());
    m_element->InsertEndChild(child);
    return std::make_shared<NodeImpl>(child, m_version, m_fullVersion);
}

void NodeImpl::removeChildren(const std::string &name)
{
    if (!m_element)
        return;
    if (name.empty()) {
        m_element->DeleteChildren();
        return;
    }
    tinyxml2::XMLElement *child = m_element->FirstChildElement(name.c_str());
    while (child) {
        tinyxml2::XMLElement *next = child->NextSiblingElement(name.c_str());
        m_element->DeleteChild(child);
        child = next;
    }
}

} // namespace Xml
} // namespace internal
} // namespace Road
} // namespace Pelko
