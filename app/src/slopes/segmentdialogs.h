#pragma once

#include "document/prompter.h"
#include "document/reminder.h"
#include "slopes/slopetablemodel.h"

namespace Zemko {
namespace Trelvin {

// Runs a segment dialog until the model takes its segment or the user gives up; a refusal is shown
// and the dialog opens again with what the user typed.
template<typename Dialog, typename Commit>
void runSegmentDialog(Dialog& dialog, QWidget* parent, Commit commit)
{
    while (dialog.exec() != 0) {
        const SlopeTableModel::EditResult result = commit(dialog.segment());
        if (result.ok)
            return;
        Prompter::instance()->warning(parent, Reminder::tr("Trelvin"), result.message, QMessageBox::Ok);
    }
}

} // namespace Trelvin
} // namespace Zemko
