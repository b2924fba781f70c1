#include <road/internal/node.h>

#include <tinyxml2.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

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
bool trimmed(const char* text, const char*& first, const char*& last)
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
bool isValidName(const std::string& name)
{
    if (name.empty() || !isNameStart(static_cast<unsigned char>(name[0])))
        return false;
    for (char c : name)
        if (!isNameChar(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// Value names are short: a loop of our own is cheaper than a call to strcmp. The empty name is no
// element's name.
bool sameName(const char* a, const char* b)
{
    if (!*b)
        return false;
    while (*a == *b) {
        if (!*a)
            return true;
        ++a;
        ++b;
    }
    return false;
}

// The first stale child of an element whose children were removed for reuse, kept in the element's
// user data (nothing else in the road file uses it); every sibling after it is stale too.
tinyxml2::XMLNode* staleChildren(const tinyxml2::XMLElement* element)
{
    return static_cast<tinyxml2::XMLNode*>(element->GetUserData());
}

// The document's user data counts its elements with stale children, so that a document without any
// is not walked. Elements deleted with their marks leave the count too high, which only costs a walk.
std::intptr_t markedElements(const tinyxml2::XMLDocument* document)
{
    return reinterpret_cast<std::intptr_t>(document->GetUserData());
}

void markStale(tinyxml2::XMLElement* element, tinyxml2::XMLNode* stale)
{
    const bool was = element->GetUserData() != nullptr;
    if (was == (stale != nullptr)) {
        element->SetUserData(stale);
        return;
    }
    element->SetUserData(stale);
    tinyxml2::XMLDocument* document = element->GetDocument();
    const std::intptr_t count = markedElements(document) + (stale ? 1 : -1);
    document->SetUserData(reinterpret_cast<void*>(count > 0 ? count : 0));
}

void settle(tinyxml2::XMLElement* element)
{
    tinyxml2::XMLNode* stale = staleChildren(element);
    if (!stale)
        return;
    markStale(element, nullptr);
    while (stale) {
        tinyxml2::XMLNode* next = stale->NextSibling();
        element->DeleteChild(stale);
        stale = next;
    }
}

void settleAll(tinyxml2::XMLElement* element)
{
    settle(element);
    for (tinyxml2::XMLElement* child = element->FirstChildElement(); child;
         child = child->NextSiblingElement())
        settleAll(child);
}

const tinyxml2::XMLElement* findChild(tinyxml2::XMLElement* element, const std::string& name)
{
    if (!element || name.empty())
        return nullptr;
    settle(element);
    return element->FirstChildElement(name.c_str());
}

// First child of that name among the children written since the element's last removal.
tinyxml2::XMLElement* writtenChild(tinyxml2::XMLElement* element, const char* name)
{
    const tinyxml2::XMLNode* stale = staleChildren(element);
    if (!stale)
        return element->FirstChildElement(name);
    for (tinyxml2::XMLNode* node = element->FirstChild(); node != stale; node = node->NextSibling()) {
        tinyxml2::XMLElement* child = node->ToElement();
        // Most names differ in their first letter; spare the call for those.
        if (child && child->Name()[0] == name[0] && std::strcmp(child->Name(), name) == 0)
            return child;
    }
    return nullptr;
}

// The next child of that name for an element being rewritten: the first stale child when it is one
// (it then counts as written), otherwise a new element placed before the stale ones. An element with
// attributes is not taken back: a new one would have none.
tinyxml2::XMLElement* nextChild(tinyxml2::XMLElement* element, const char* name, bool& reused)
{
    tinyxml2::XMLNode* stale = staleChildren(element);
    reused = false;
    if (stale) {
        tinyxml2::XMLElement* candidate = stale->ToElement();
        if (candidate && !candidate->FirstAttribute() && std::strcmp(candidate->Name(), name) == 0) {
            markStale(element, stale->NextSibling());
            reused = true;
            return candidate;
        }
    }
    tinyxml2::XMLElement* child = element->GetDocument()->NewElement(name);
    if (!stale)
        element->InsertEndChild(child);
    else if (tinyxml2::XMLNode* before = stale->PreviousSibling())
        element->InsertAfterChild(before, child);
    else
        element->InsertFirstChild(child);
    return child;
}

// Leaves the element holding just that text, or nothing for the empty text; text already there as it
// should be is left alone.
void replaceText(tinyxml2::XMLElement* element, const char* text)
{
    tinyxml2::XMLNode* first = element->FirstChild();
    tinyxml2::XMLText* current = first ? first->ToText() : nullptr;
    markStale(element, nullptr);
    if (*text && current && !current->CData() && !current->NextSibling()) {
        if (std::strcmp(current->Value(), text) != 0)
            current->SetValue(text, false);
        return;
    }
    element->DeleteChildren();
    if (*text)
        element->SetText(text);
}

} // namespace

namespace {

// to_chars with a precision is printf's "%.17g" in the C locale. Empty when it does not fit.
void formatDouble(double value, char (&buffer)[64])
{
    auto result = std::to_chars(buffer, buffer + sizeof(buffer) - 1, value, std::chars_format::general, 17);
    *(result.ec == std::errc() ? result.ptr : buffer) = '\0';
}

void formatInt(int value, char (&buffer)[16])
{
    *std::to_chars(buffer, buffer + sizeof(buffer) - 1, value).ptr = '\0';
}

constexpr double kExactPowersOfTen[] = { 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };

#if (defined(__x86_64__) || defined(__i386__)) && !defined(_MSC_VER)
// The x87 extended format: a 64-bit significand holds every whole number below 2^64 and 10^k up to
// 10^27 (2^27 * 5^27, with 5^27 below 2^63).
constexpr bool kExtendedDivision = std::numeric_limits<long double>::digits == 64;
constexpr long double kExactPowersOfTenExtended[]
    = { 1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
        1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L };

// m / 10^decimals rounded once to 64 bits and then to a double: that is the correctly rounded double
// unless the 64-bit quotient lies exactly halfway between two doubles (its 11 bits past a double's
// 53 are 10000000000), where the exact quotient may lie on either side of it.
bool divideExtended(std::uint64_t m, std::size_t decimals, double& value)
{
    if (!kExtendedDivision || decimals >= std::size(kExactPowersOfTenExtended))
        return false;
    const long double quotient = static_cast<long double>(m) / kExactPowersOfTenExtended[decimals];
    std::uint64_t significand;
    std::memcpy(&significand, &quotient, sizeof significand);
    if ((significand & 0x7ff) == 0x400)
        return false;
    value = static_cast<double>(quotient);
    return true;
}
#else
bool divideExtended(std::uint64_t, std::size_t, double&)
{
    return false;
}
#endif

// Moves p past leading blanks and a minus sign; true when there was the sign. Blanks are all at or
// below ' ': one comparison for the usual text without any.
bool skipToDigits(const char*& p)
{
    if (static_cast<unsigned char>(*p) <= ' ') {
        while (isBlank(*p))
            ++p;
    }
    const bool negative = *p == '-';
    p += negative;
    return negative;
}

bool onlyBlanksLeft(const char* p)
{
    while (isBlank(*p))
        ++p;
    return *p == '\0';
}

// Most numbers of a road file are plain decimals of up to 17 digits ("%.17g"): their digits make a
// whole number m and the value is m / 10^decimals. With m and the power of ten exact, one division is
// correctly rounded, which is what from_chars gives too: for m up to 2^53 and ten to the 22nd at most
// in doubles, otherwise in the extended format. Anything else (exponents, more digits, nan, a quotient
// where the two roundings could part) is left to from_chars: false.
bool parsePlainDecimal(const char* p, double& value)
{
    const bool negative = skipToDigits(p);
    // Leading zeros are skipped first so that the digit loops only gather digits; the digits from the
    // first one that is not zero are the significant ones.
    const char* const wholeStart = p;
    while (*p == '0')
        ++p;
    std::uint64_t m = 0;
    const char* from = p;
    for (unsigned digit; (digit = static_cast<unsigned char>(*p) - unsigned('0')) <= 9; ++p)
        m = m * 10 + digit;
    if (p == wholeStart)
        return false;
    std::size_t significant = static_cast<std::size_t>(p - from);
    std::size_t decimals = 0;
    if (*p == '.') {
        const char* const point = ++p;
        if (m == 0) {
            while (*p == '0')
                ++p;
        }
        from = p;
        for (unsigned digit; (digit = static_cast<unsigned char>(*p) - unsigned('0')) <= 9; ++p)
            m = m * 10 + digit;
        significant += static_cast<std::size_t>(p - from);
        decimals = static_cast<std::size_t>(p - point);
        if (decimals == 0)
            return false;
    }
    // 19 digits stay below 2^64; more may have wrapped m above.
    if (significant > 19)
        return false;
    if (!onlyBlanksLeft(p))
        return false;
    double magnitude;
    if (m <= (std::uint64_t(1) << 53) && decimals < std::size(kExactPowersOfTen))
        magnitude = static_cast<double>(m) / kExactPowersOfTen[decimals];
    else if (!divideExtended(m, decimals, magnitude))
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

// Most whole numbers of a road file are short: up to nine digits fit an int whatever they are, the rest
// is left to from_chars: false.
bool parsePlainInt(const char* p, int& value)
{
    const bool negative = skipToDigits(p);
    const char* const first = p;
    int magnitude = 0;
    for (unsigned digit; (digit = static_cast<unsigned char>(*p) - unsigned('0')) <= 9 && p - first < 9; ++p)
        magnitude = magnitude * 10 + int(digit);
    if (p == first)
        return false;
    if (!onlyBlanksLeft(p))
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

std::string formatInt(int value)
{
    char buffer[16];
    formatInt(value, buffer);
    return std::string(buffer);
}

std::string formatDouble(double value)
{
    char buffer[64];
    formatDouble(value, buffer);
    return std::string(buffer);
}

bool parseInt(const char* text, int& value)
{
    if (text && parsePlainInt(text, value))
        return true;
    const char* first;
    const char* last;
    if (!trimmed(text, first, last))
        return false;
    int parsed = 0;
    auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    value = parsed;
    return true;
}

bool parseDouble(const char* text, double& value)
{
    if (text && parsePlainDecimal(text, value))
        return true;
    const char* first;
    const char* last;
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

NodeImpl::NodeImpl(tinyxml2::XMLElement* element, int version, int fullVersion, bool reuse)
    : m_element(element)
    , m_version(version)
    , m_fullVersion(fullVersion)
    , m_reuse(reuse)
{
}

std::string NodeImpl::getName() const
{
    if (!m_element)
        return std::string();
    const char* name = m_element->Name();
    return name ? std::string(name) : std::string();
}

int NodeImpl::getInt(const std::string& name, int defaultValue) const
{
    const tinyxml2::XMLElement* child = findChild(m_element, name);
    int value = defaultValue;
    if (!child || !parseInt(child->GetText(), value))
        return defaultValue;
    return value;
}

double NodeImpl::getDouble(const std::string& name, double defaultValue) const
{
    const tinyxml2::XMLElement* child = findChild(m_element, name);
    double value = defaultValue;
    if (!child || !parseDouble(child->GetText(), value))
        return defaultValue;
    return value;
}

std::string NodeImpl::getString(const std::string& name, const std::string& defaultValue) const
{
    const tinyxml2::XMLElement* child = findChild(m_element, name);
    const char* text = child ? child->GetText() : nullptr;
    return text ? std::string(text) : defaultValue;
}

tinyxml2::XMLElement* NodeImpl::valueChild(const std::string& name)
{
    if (!m_element || !isValidName(name))
        return nullptr;
    if (tinyxml2::XMLElement* child = writtenChild(m_element, name.c_str()))
        return child;
    bool reused;
    return nextChild(m_element, name.c_str(), reused);
}

void NodeImpl::setText(const std::string& name, const char* text)
{
    if (tinyxml2::XMLElement* child = valueChild(name))
        replaceText(child, text);
}

void NodeImpl::setInt(const std::string& name, int value)
{
    char buffer[16];
    formatInt(value, buffer);
    setText(name, buffer);
}

void NodeImpl::setDouble(const std::string& name, double value)
{
    char buffer[64];
    formatDouble(value, buffer);
    setText(name, buffer);
}

void NodeImpl::setString(const std::string& name, const std::string& value)
{
    // An empty text node would read back as a missing value anyway; leave the element empty.
    setText(name, value.c_str());
}

ValueChildren NodeImpl::values(const char* const* names, unsigned count) const
{
    return ValueChildren(m_element, names, count);
}

ValueChildren::ValueChildren(tinyxml2::XMLElement* element, const char* const* names, unsigned count)
{
    if (!element)
        return;
    settle(element);
    count = std::min(count, maxNames);
    unsigned missing = 0;
    for (unsigned i = 0; i < count; ++i)
        missing += *names[i] != '\0';
    // Once every name has its child, the children after it can only repeat a name.
    unsigned expected = 0;
    for (const tinyxml2::XMLElement* c = element->FirstChildElement(); c && missing > 0;
         c = c->NextSiblingElement()) {
        const char* name = c->Name();
        unsigned i = expected;
        if (i >= count || !sameName(name, names[i])) {
            for (i = 0; i < count && !sameName(name, names[i]); ++i) {
            }
        }
        if (i == count || m_children[i])
            continue;
        m_children[i] = c;
        --missing;
        expected = i + 1;
    }
}

int ValueChildren::getInt(unsigned index, int defaultValue) const
{
    const tinyxml2::XMLElement* c = child(index);
    int value = defaultValue;
    if (!c || !parseInt(c->GetText(), value))
        return defaultValue;
    return value;
}

double ValueChildren::getDouble(unsigned index, double defaultValue) const
{
    const tinyxml2::XMLElement* c = child(index);
    double value = defaultValue;
    if (!c || !parseDouble(c->GetText(), value))
        return defaultValue;
    return value;
}

std::shared_ptr<NodeImpl> NodeImpl::firstChild(const std::string& name) const
{
    if (!m_element || name.empty())
        return nullptr;
    settle(m_element);
    tinyxml2::XMLElement* child = m_element->FirstChildElement(name.c_str());
    return child ? std::make_shared<NodeImpl>(child, m_version, m_fullVersion, m_reuse) : nullptr;
}

tinyxml2::XMLElement* NodeImpl::nextSiblingElement() const
{
    if (!m_element)
        return nullptr;
    if (tinyxml2::XMLNode* parent = m_element->Parent(); parent && parent->ToElement())
        settle(parent->ToElement());
    return m_element->NextSiblingElement(m_element->Name());
}

std::shared_ptr<NodeImpl> NodeImpl::nextSibling() const
{
    tinyxml2::XMLElement* next = nextSiblingElement();
    return next ? std::make_shared<NodeImpl>(next, m_version, m_fullVersion, m_reuse) : nullptr;
}

bool NodeImpl::toNextSibling()
{
    m_element = nextSiblingElement();
    return m_element != nullptr;
}

std::shared_ptr<NodeImpl> NodeImpl::appendChild(const std::string& name)
{
    if (!m_element || !isValidName(name))
        return nullptr;
    bool reused;
    tinyxml2::XMLElement* child = nextChild(m_element, name.c_str(), reused);
    // A child taken back starts as empty as a new one.
    if (reused)
        markStale(child, child->FirstChild());
    return std::make_shared<NodeImpl>(child, m_version, m_fullVersion, m_reuse);
}

void NodeImpl::removeChildren(const std::string& name)
{
    if (!m_element)
        return;
    if (name.empty() && m_reuse) {
        markStale(m_element, m_element->FirstChild());
        return;
    }
    settle(m_element);
    if (name.empty()) {
        m_element->DeleteChildren();
        return;
    }
    tinyxml2::XMLElement* child = m_element->FirstChildElement(name.c_str());
    while (child) {
        tinyxml2::XMLElement* next = child->NextSiblingElement(name.c_str());
        m_element->DeleteChild(child);
        child = next;
    }
}

void NodeImpl::settleTree(tinyxml2::XMLElement* element)
{
    tinyxml2::XMLDocument* document = element ? element->GetDocument() : nullptr;
    if (!document || markedElements(document) == 0)
        return;
    for (tinyxml2::XMLElement* top = document->FirstChildElement(); top; top = top->NextSiblingElement())
        settleAll(top);
    document->SetUserData(nullptr);
}

} // namespace Xml
} // namespace internal
} // namespace Road
} // namespace Pelko
