#pragma once

#include <QString>

class QWidget;

namespace Zemko::Trelvin {

// The plug-in cannot link the program's prompter, so the export dialog's message boxes and file
// dialog go through this one; tests install a scripted one instead of waiting on a window.
class StakeExportPrompter
{
public:
    virtual ~StakeExportPrompter();

    // The prompter in use; the one showing real boxes unless another was installed.
    static StakeExportPrompter* instance();
    // Installs a prompter (not owned); null puts the real one back.
    static void setInstance(StakeExportPrompter* prompter);

    // A critical box with one OK button.
    virtual void critical(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning box with one OK button.
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question with Yes and No (the default); true for Yes.
    virtual bool confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    // An empty text when the user cancels.
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter)
        = 0;
};

} // namespace Zemko::Trelvin
