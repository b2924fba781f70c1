#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects the debug and info lines the program prints while it lives; warnings and worse go on to
// the test's own handler.
class TerminalLines
{
public:
    TerminalLines()
        : previous(qInstallMessageHandler(&TerminalLines::handle))
    {
        current() = this;
    }
    ~TerminalLines()
    {
        current() = nullptr;
        qInstallMessageHandler(previous);
    }

    TerminalLines(const TerminalLines&) = delete;
    TerminalLines& operator=(const TerminalLines&) = delete;

    QStringList lines;

private:
    static TerminalLines*& current()
    {
        static TerminalLines* collecting = nullptr;
        return collecting;
    }

    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        TerminalLines* collecting = current();
        if (collecting && (type == QtDebugMsg || type == QtInfoMsg)) {
            collecting->lines << text;
            return;
        }
        if (collecting && collecting->previous)
            collecting->previous(type, context, text);
    }

    QtMessageHandler previous;
};
