#pragma once

#include <QObject>

namespace Zemko {
namespace Trelvin {

// Mirror gives a side of the edit cache new data; handles that the superelevation and widening editors
// took of the old data would then edit (and write back) a side that no longer exists. They listen here
// and reload.
class SectionSideEvents : public QObject
{
    Q_OBJECT

public:
    static SectionSideEvents* instance();

signals:
    void sideReplaced(int side);

private:
    SectionSideEvents() = default;
};

} // namespace Trelvin
} // namespace Zemko
