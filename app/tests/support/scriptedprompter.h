#pragma once

#include "document/prompter.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QtTest>

// A prompter for tests: answers every box and file dialog from queued answers and logs each call. It
// never blocks; a call without a queued answer fails the running test (or, when not strict, gets the
// box's default button or an empty path). Installed while it lives.
class ScriptedPrompter : public Zemko::Trelvin::Prompter
{
public:
    enum Kind { Question, Warning, Critical, Information, OpenFile, SaveFile, Directory };

    struct Call
    {
        Kind kind;
        // Box title or dialog caption.
        QString title;
        // Box text, or the dialog's start folder.
        QString text;
        // The dialog's filter; empty for boxes.
        QString filter;
    };

    explicit ScriptedPrompter(bool strict = true)
        : strict(strict)
        , previous(Prompter::instance())
    {
        Prompter::setInstance(this);
    }
    ~ScriptedPrompter() override { Prompter::setInstance(previous == this ? nullptr : previous); }

    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    // Answers for the boxes of one kind (Question, Warning, Critical, Information), in call order.
    void answer(Kind kind, QMessageBox::StandardButton button) { buttons[kind].enqueue(button); }
    // Paths for the file dialogs of one kind (OpenFile, SaveFile, Directory); empty means cancelled.
    void answer(Kind kind, const QString& path) { paths[kind].enqueue(path); }

    QList<Call> calls;

    int count(Kind kind) const
    {
        int n = 0;
        for (const Call& call : calls)
            n += call.kind == kind;
        return n;
    }

    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override
    {
        return box(Question, title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton warning(QWidget*, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        return box(Warning, title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton critical(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override
    {
        return box(Critical, title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton information(QWidget*, const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override
    {
        return box(Information, title, text, buttons, defaultButton);
    }
    QString getOpenFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter,
                            QString*) override
    {
        return path(OpenFile, caption, dir, filter);
    }
    QString getSaveFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter,
                            QString*) override
    {
        return path(SaveFile, caption, dir, filter);
    }
    QString getExistingDirectory(QWidget*, const QString& caption, const QString& dir) override
    {
        return path(Directory, caption, dir, QString());
    }

private:
    QMessageBox::StandardButton box(Kind kind, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons offered,
                                    QMessageBox::StandardButton defaultButton)
    {
        calls.append({ kind, title, text, QString() });
        if (!buttons[kind].isEmpty())
            return buttons[kind].dequeue();
        unscripted(title, text);
        if (defaultButton != QMessageBox::NoButton)
            return defaultButton;
        return offered.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::NoButton;
    }

    QString path(Kind kind, const QString& caption, const QString& dir, const QString& filter)
    {
        calls.append({ kind, caption, dir, filter });
        if (!paths[kind].isEmpty())
            return paths[kind].dequeue();
        unscripted(caption, dir);
        return QString();
    }

    void unscripted(const QString& title, const QString& text)
    {
        if (!strict)
            return;
        const QByteArray message = "unscripted prompt: " + title.toUtf8() + " / " + text.toUtf8();
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    }

    bool strict;
    Prompter* previous;
    QQueue<QMessageBox::StandardButton> buttons[Directory + 1];
    QQueue<QString> paths[Directory + 1];
};
