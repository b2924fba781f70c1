#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace Zemko::Trelvin {

// The modal boxes and file dialogs of the TIN dialog. The plug-in cannot reach the program's
// prompter, so it has this one of its own, which tests replace.
class TinPrompter
{
public:
    virtual ~TinPrompter();

    // The prompter in use: the one showing real boxes unless another was installed.
    static TinPrompter* instance();
    // Installs a prompter (not owned); null puts the real one back.
    static void setInstance(TinPrompter* prompter);

    // Boxes with one OK button.
    virtual void critical(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons)
        = 0;
    // An empty text when the user cancels.
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter)
        = 0;
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter)
        = 0;
};

} // namespace Zemko::Trelvin
