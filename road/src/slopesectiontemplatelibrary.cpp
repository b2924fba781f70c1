#include <road/slopesectiontemplatelibrary.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace Pelko {
namespace Road {

struct SlopeSectionTemplateLibrary::SlopeConfigurationData
{
    std::vector<SlopeSectionTemplateEditable> fill;
    std::vector<SlopeSectionTemplateEditable> cut;
    bool available = true;
    struct User
    {
        std::weak_ptr<const void> owner;
        UsageCheck uses;
        RenameHook rename;
    };
    std::vector<User> users;

    std::vector<SlopeSectionTemplateEditable>* list(int type)
    {
        if (type == SlopeSectionFill)
            return &fill;
        if (type == SlopeSectionCut)
            return &cut;
        return nullptr;
    }
    const std::vector<SlopeSectionTemplateEditable>* list(int type) const
    {
        return const_cast<SlopeConfigurationData*>(this)->list(type);
    }
};

namespace {

// The first element that a save and a load would not give back, or -1.
std::int32_t firstElementNotKept(const SlopeSectionTemplate& t)
{
    for (unsigned int i = 0; i < t.size(); ++i)
        if (!t.getAt(i).isKeptByRoadFile())
            return static_cast<std::int32_t>(i);
    return -1;
}

} // namespace

SlopeSectionTemplateLibrary::SlopeSectionTemplateLibrary()
    : d(std::make_shared<SlopeConfigurationData>())
{
}

SlopeSectionTemplateLibrary::SlopeSectionTemplateLibrary(std::shared_ptr<SlopeConfigurationData> data)
    : d(data ? std::move(data) : std::make_shared<SlopeConfigurationData>())
{
}

SlopeSectionTemplateLibrary::Error SlopeSectionTemplateLibrary::add(const SlopeSectionTemplateEditable& t)
{
    std::vector<SlopeSectionTemplateEditable>* list = d->list(t.getType());
    if (!list)
        return { -1, Error::InvalidType };
    if (isNameTaken(t.getName()))
        return { -1, Error::NameTaken };
    if (const std::int32_t element = firstElementNotKept(t); element >= 0)
        return { element, Error::ElementNotKept };
    list->push_back(t);
    list->back().attachToLibrary();
    return { static_cast<std::int32_t>(list->size() - 1), Error::Success };
}

SlopeSectionTemplateLibrary::Error SlopeSectionTemplateLibrary::setAt(unsigned int i,
                                                                      const SlopeSectionTemplateEditable& t)
{
    const auto index = static_cast<std::int32_t>(i);
    std::vector<SlopeSectionTemplateEditable>* list = d->list(t.getType());
    if (!list)
        return { index, Error::InvalidType };
    if (i >= list->size())
        return { index, Error::InvalidIndex };
    const std::string oldName = (*list)[i].getName();
    if (t.getName() != oldName && isNameTaken(t.getName()))
        return { -1, Error::NameTaken };
    if (const std::int32_t element = firstElementNotKept(t); element >= 0)
        return { element, Error::ElementNotKept };
    // Handles still sharing the replaced template should not think a library holds it.
    (*list)[i].detachFromLibrary();
    (*list)[i] = t.clone();
    (*list)[i].attachToLibrary();
    // Segments keep their templates by name: left on the old one they would be lost on the next load.
    if (t.getName() != oldName) {
        const SlopeSectionTemplate renamed = (*list)[i].clone();
        for (const auto& user : d->users)
            if (!user.owner.expired())
                user.rename(oldName, renamed);
    }
    return { index, Error::Success };
}

bool SlopeSectionTemplateLibrary::removeAt(SlopeSectionType type, unsigned int i)
{
    std::vector<SlopeSectionTemplateEditable>* list = d->list(type);
    if (!list || i >= list->size() || findUse(type, i))
        return false;
    (*list)[i].detachFromLibrary();
    list->erase(list->begin() + i);
    return true;
}

SlopeSectionTemplateLibrary::Use SlopeSectionTemplateLibrary::findUse(SlopeSectionType type,
                                                                      unsigned int i) const
{
    const std::vector<SlopeSectionTemplateEditable>* list = d->list(type);
    if (!list || i >= list->size())
        return {};
    const std::string name = (*list)[i].getName();
    for (const auto& user : d->users)
        if (!user.owner.expired())
            if (Use use = user.uses(type, name))
                return use;
    return {};
}

SlopeSectionTemplateEditable SlopeSectionTemplateLibrary::getAt(SlopeSectionType type, unsigned int i) const
{
    const std::vector<SlopeSectionTemplateEditable>* list = d->list(type);
    if (!list || i >= list->size())
        return SlopeSectionTemplateEditable();
    return (*list)[i].clone();
}

unsigned int SlopeSectionTemplateLibrary::size(SlopeSectionType type) const
{
    const std::vector<SlopeSectionTemplateEditable>* list = d->list(type);
    return list ? static_cast<unsigned int>(list->size()) : 0u;
}

SlopeSectionTemplate SlopeSectionTemplateLibrary::getByName(SlopeSectionType type,
                                                            const std::string& name) const
{
    if (const std::vector<SlopeSectionTemplateEditable>* list = d->list(type))
        for (const SlopeSectionTemplateEditable& t : *list)
            if (t.getName() == name)
                return t.clone();
    return SlopeSectionTemplate();
}

SlopeSectionTemplate SlopeSectionTemplateLibrary::getByName(const std::string& name) const
{
    SlopeSectionTemplate t = getByName(SlopeSectionCut, name);
    return t.isValid() ? t : getByName(SlopeSectionFill, name);
}

std::string SlopeSectionTemplateLibrary::getAvailableName(const std::string& base) const
{
    if (!isNameTaken(base))
        return base;
    for (int n = 1;; ++n) {
        const std::string name = base + "_" + internal::Xml::formatInt(n);
        if (!isNameTaken(name))
            return name;
    }
}

bool SlopeSectionTemplateLibrary::isAvailable() const
{
    return d->available;
}

void SlopeSectionTemplateLibrary::addUser(const std::shared_ptr<const void>& owner, UsageCheck check,
                                          RenameHook rename)
{
    removeUser(owner);
    d->users.push_back({ owner, std::move(check), std::move(rename) });
}

void SlopeSectionTemplateLibrary::removeUser(const std::shared_ptr<const void>& owner)
{
    auto& users = d->users;
    users.erase(std::remove_if(users.begin(), users.end(),
                               [&owner](const auto& user) {
                                   return user.owner.expired()
                                       || (!user.owner.owner_before(owner)
                                           && !owner.owner_before(user.owner));
                               }),
                users.end());
}

bool SlopeSectionTemplateLibrary::isNameTaken(const std::string& name) const
{
    for (const auto* list : { &d->fill, &d->cut })
        for (const SlopeSectionTemplateEditable& t : *list)
            if (t.getName() == name)
                return true;
    return false;
}

void SlopeSectionTemplateLibrary::load(const internal::Node<SlopeSectionTemplateLibrary>& node)
{
    for (auto child = node.firstChild<SlopeSectionTemplateEditable>("template"); child;
         child.toNextSibling()) {
        SlopeSectionTemplateEditable t;
        t.load(child);
        if (std::vector<SlopeSectionTemplateEditable>* list = d->list(t.getType())) {
            t.attachToLibrary();
            list->push_back(t);
        }
    }
    d->available = true;
}

void SlopeSectionTemplateLibrary::save(const internal::Node<SlopeSectionTemplateLibrary>& node) const
{
    node.removeChildren();
    for (const auto* list : { &d->fill, &d->cut })
        for (const SlopeSectionTemplateEditable& t : *list)
            t.save(node.appendChild<SlopeSectionTemplateEditable>("template"));
}

} // namespace Road
} // namespace Pelko
