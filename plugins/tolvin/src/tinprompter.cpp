#include "tinprompter.h"

#include <QFileDialog>

namespace Zemko::Trelvin {

namespace {

// The text with a break opportunity (a zero-width space) after each folder separator and within every run
// of 20 characters without a space, so that a path of long folder names wraps in a box instead of running
// past its edge. A box's text cannot be selected here, so the spaces never reach a clipboard.
QString wrappable(const QString& text)
{
    const QChar breakHere(0x200B);
    QString result;
    result.reserve(text.size() + text.size() / 8);
    int run = 0;
    for (const QChar c : text) {
        result += c;
        if (c.isSpace()) {
            run = 0;
        } else if (!c.isHighSurrogate() && (c == QLatin1Char('/') || c == QLatin1Char('\\') || ++run >= 20)) {
            result += breakHere;
            run = 0;
        }
    }
    return result;
}

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, QWidget* parent, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, wrappable(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

class DialogPrompter : public TinPrompter
{
public:
    void critical(QWidget* parent, const QString& title, const QString& text) override
    {
        showBox(QMessageBox::Critical, parent, title, text, QMessageBox::Ok);
    }
    void information(QWidget* parent, const QString& title, const QString& text) override
    {
        showBox(QMessageBox::Information, parent, title, text, QMessageBox::Ok);
    }
    QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons) override
    {
        return showBox(QMessageBox::Question, parent, title, text, buttons);
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
