#include "framework/dialogclose.h"

#include "document/prompter.h"
#include "document/reminder.h"

#include <QDialog>

namespace Zemko {
namespace Trelvin {

void commitFocusedField(QWidget* window)
{
    if (QWidget* focused = window->focusWidget()) {
        focused->clearFocus();
        focused->setFocus();
    }
}

void closeUnlessRefused(QDialog* dialog, const QString& message, int code)
{
    if (message.isEmpty()) {
        dialog->done(code);
        return;
    }
    Prompter::instance()->warning(dialog, Reminder::tr("Trelvin"), message, QMessageBox::Ok);
}

} // namespace Trelvin
} // namespace Zemko
