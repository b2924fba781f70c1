#pragma once

// Access ACLs and extended attributes of files, as the tests of saves set them and read them back.

#include <sys/xattr.h>

#include <array>
#include <initializer_list>
#include <string>

namespace Attributes {

const char* const accessAcl = "system.posix_acl_access";
constexpr unsigned noId = 0xffffffff;

enum AclTag : unsigned { Owner = 0x01, NamedUser = 0x02, OwningGroup = 0x04, Mask = 0x10, Others = 0x20 };

// An access ACL as the system stores it in system.posix_acl_access: version 2, then each entry's tag,
// permissions and id, little-endian, sorted by tag and id.
inline std::string acl(std::initializer_list<std::array<unsigned, 3>> entries)
{
    std::string bytes;
    auto put = [&bytes](unsigned value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    put(2, 4);
    for (const auto& entry : entries) {
        put(entry[0], 2);
        put(entry[1], 2);
        put(entry[2], 4);
    }
    return bytes;
}

// The extended attribute, or "<none>".
inline std::string attribute(const std::string& file, const char* name)
{
    char buffer[1024];
    const ssize_t size = ::getxattr(file.c_str(), name, buffer, sizeof buffer);
    return size >= 0 ? std::string(buffer, static_cast<size_t>(size)) : std::string("<none>");
}

inline bool setAttribute(const std::string& file, const char* name, const std::string& value)
{
    return ::setxattr(file.c_str(), name, value.data(), value.size(), 0) == 0;
}

} // namespace Attributes
