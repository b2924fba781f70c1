#include "stakeexportprompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace Zemko::Trelvin {

namespace {

class DialogPrompter : public StakeExportPrompter
{
public:
    void critical(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
    }

    void warning(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::warning(parent, title, text, QMessageBox::Ok);
    }

    bool confirm(QWidget* parent, const QString& title, const QString& text) override
    {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            == QMessageBox::Yes;
    }

    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter, QString* selectedFilter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
    }
};

StakeExportPrompter* installed = nullptr;

} // namespace

StakeExportPrompter::~StakeExportPrompter() = default;

StakeExportPrompter* StakeExportPrompter::instance()
{
    static DialogPrompter dialogs;
    return installed ? installed : &dialogs;
}

void StakeExportPrompter::setInstance(StakeExportPrompter* prompter)
{
    installed = prompter;
}

} // namespace Zemko::Trelvin
