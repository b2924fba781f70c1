#include "document/prompter.h"

#include <QFileDialog>

namespace Zemko {
namespace Trelvin {

namespace {

Prompter* installed = nullptr;

} // namespace

Prompter::~Prompter()
{
    if (installed == this)
        installed = nullptr;
}

Prompter* Prompter::instance()
{
    static DialogPrompter dialogs;
    return installed ? installed : &dialogs;
}

void Prompter::setInstance(Prompter* prompter)
{
    installed = prompter;
}

QMessageBox::StandardButton DialogPrompter::question(QWidget* parent, const QString& title,
                                                     const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::question(parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton DialogPrompter::warning(QWidget* parent, const QString& title,
                                                    const QString& text, QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::warning(parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton DialogPrompter::critical(QWidget* parent, const QString& title,
                                                     const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::critical(parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton DialogPrompter::information(QWidget* parent, const QString& title,
                                                        const QString& text,
                                                        QMessageBox::StandardButtons buttons,
                                                        QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::information(parent, title, text, buttons, defaultButton);
}

QString DialogPrompter::getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                        const QString& filter, QString* selectedFilter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter, selectedFilter);
}

QString DialogPrompter::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                        const QString& filter, QString* selectedFilter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
}

QString DialogPrompter::getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir)
{
    return QFileDialog::getExistingDirectory(parent, caption, dir);
}

} // namespace Trelvin
} // namespace Zemko
