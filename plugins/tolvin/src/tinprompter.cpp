#include "tinprompter.h"

#include <QFileDialog>

namespace Zemko::Trelvin {

namespace {

class DialogPrompter : public TinPrompter
{
public:
    void critical(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::critical(parent, title, text, QMessageBox::Ok);
    }
    void information(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
    }
    QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons) override
    {
        return QMessageBox::question(parent, title, text, buttons);
    }
    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter, QString* selectedFilter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter, selectedFilter);
    }
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter, QString* selectedFilter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter, selectedFilter);
    }
};

DialogPrompter dialogPrompter;
TinPrompter* current = &dialogPrompter;

} // namespace

TinPrompter::~TinPrompter() = default;

TinPrompter* TinPrompter::instance()
{
    return current;
}

void TinPrompter::setInstance(TinPrompter* prompter)
{
    current = prompter ? prompter : &dialogPrompter;
}

} // namespace Zemko::Trelvin
