#pragma once

#include <QCoreApplication>

namespace Zemko {
namespace Trelvin {

// Texts of the editors' warning boxes, translated in the context "Reminder".
class Reminder
{
    Q_DECLARE_TR_FUNCTIONS(Reminder)
};

} // namespace Trelvin
} // namespace Zemko
