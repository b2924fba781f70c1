#pragma once

class QDialog;
class QString;
class QWidget;

namespace Zemko {
namespace Trelvin {

// Makes the field still being typed in hand over its text: editors and validators commit when they
// lose the focus, and a dialog closed by a key or a button must see what was typed last.
void commitFocusedField(QWidget* window);

// Closes the dialog with the code unless a check refused what was typed (a message); the refusal is
// shown and the dialog stays open.
void closeUnlessRefused(QDialog* dialog, const QString& message, int code);

} // namespace Trelvin
} // namespace Zemko
