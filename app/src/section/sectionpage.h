#pragma once

class EditModeWidget;
class QWidget;

namespace Zemko {
namespace Trelvin {
namespace Data {
class RoadCurve;
}

// The section pages stack their editor above the section drawing, both of the same height.
void placeSectionEditor(EditModeWidget* page, QWidget* editor, Data::RoadCurve* curve);

} // namespace Trelvin
} // namespace Zemko
