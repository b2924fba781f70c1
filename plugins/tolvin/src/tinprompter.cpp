#include "tinprompter.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include <algorithm>

namespace Zemko::Trelvin {

namespace {

// The text with a break opportunity (a zero-width space) after each folder separator and after every
// character of a run of more than 20 without a space, so that a path of long folder names wraps in a box,
// each line full, instead of running past its edge.
QString wrappable(const QString& text)
{
    const QChar breakHere(0x200B);
    QString result;
    result.reserve(2 * text.size());
    int run = 0;
    for (const QChar c : text) {
        result += c;
        if (c.isSpace()) {
            run = 0;
        } else if (c == QLatin1Char('/') || c == QLatin1Char('\\')) {
            result += breakHere;
            run = 0;
        } else if (!c.isHighSurrogate() && ++run >= 20) {
            result += breakHere;
        }
    }
    return result;
}

// Copying a box (Ctrl+C) gives its text as written, without the breaks put in.
class CopiesText : public QObject
{
public:
    explicit CopiesText(const QString& text)
        : m_text(text)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(m_text);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_text;
};

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, QWidget* parent, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, wrappable(text), buttons, parent);
    CopiesText copies(text);
    box.installEventFilter(&copies);
    box.setTextFormat(Qt::PlainText);
    // A long text (a path) gets a wider box than the narrowest that holds it: lines, not a column.
    if (text.size() > 120) {
        const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
        const int width = std::min(640, screen ? screen->availableGeometry().width() * 3 / 5 : 640);
        box.setStyleSheet(QStringLiteral("QLabel#qt_msgbox_label { min-width: %1px; }").arg(width));
    }
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
