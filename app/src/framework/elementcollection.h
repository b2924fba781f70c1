#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace Zemko {
namespace Trelvin {

// The typed text rows of a free-text table. Copies share the rows; the owning model tells its views
// about every change.
template<typename T> class ElementCollection
{
public:
    struct ElementCollectionData
    {
        std::vector<T> rows;
    };

    ElementCollection()
        : d(std::make_shared<ElementCollectionData>())
    {
    }
    virtual ~ElementCollection() = default;

    int size() const { return int(d->rows.size()); }

    // A default row when i is outside the collection.
    T at(int i) const
    {
        if (i < 0 || i >= size())
            return T();
        return d->rows[std::size_t(i)];
    }

    void set(int i, const T& row)
    {
        if (i < 0 || i >= size())
            return;
        d->rows[std::size_t(i)] = row;
    }

    // The copy is taken first: row may be an element of this collection.
    void append(const T& row)
    {
        T copy(row);
        d->rows.push_back(std::move(copy));
    }

    // Before row i; past the end appends.
    void insert(int i, const T& row)
    {
        T copy(row);
        if (i < 0)
            i = 0;
        if (i >= size())
            d->rows.push_back(std::move(copy));
        else
            d->rows.insert(d->rows.begin() + i, std::move(copy));
    }

    void removeAt(int i)
    {
        if (i < 0 || i >= size())
            return;
        d->rows.erase(d->rows.begin() + i);
    }

    void clear() { d->rows.clear(); }

private:
    std::shared_ptr<ElementCollectionData> d;
};

} // namespace Trelvin
} // namespace Zemko
