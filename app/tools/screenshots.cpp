// Writes a PNG of the main window on each enabled side tab (tab-<n>-<title>.png) and of the dialog of
// each Tools menu entry (dialog-<entry>.png) with the given road open:
//
//   trelvin_screenshots OUTDIR ROAD [WIDTH HEIGHT]
//
// New pages and tools appear without changes here. Every message box is answered at once with its
// default button and every file dialog as cancelled, so nothing waits for a user.
#include "shell/fancytabwidget.h"
#include "shell/mainwindow.h"
#include "shell/prompter.h"
#include "shell/trelvin.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {

class QuietPrompter : public Zemko::Trelvin::Prompter
{
public:
    QMessageBox::StandardButton question(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override
    {
        return answer(title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton warning(QWidget*, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        return answer(title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton critical(QWidget*, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override
    {
        return answer(title, text, buttons, defaultButton);
    }
    QMessageBox::StandardButton information(QWidget*, const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override
    {
        return answer(title, text, buttons, defaultButton);
    }
    QString getOpenFileName(QWidget*, const QString& caption, const QString&, const QString&,
                            QString*) override
    {
        return cancelled(caption);
    }
    QString getSaveFileName(QWidget*, const QString& caption, const QString&, const QString&,
                            QString*) override
    {
        return cancelled(caption);
    }
    QString getExistingDirectory(QWidget*, const QString& caption, const QString&) override
    {
        return cancelled(caption);
    }

private:
    static QMessageBox::StandardButton answer(const QString& title, const QString& text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
    {
        std::fprintf(stderr, "screenshots: box \"%s\": %s\n", qPrintable(title), qPrintable(text));
        if (defaultButton != QMessageBox::NoButton)
            return defaultButton;
        return buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
            : buttons.testFlag(QMessageBox::No)      ? QMessageBox::No
                                                     : QMessageBox::Ok;
    }
    static QString cancelled(const QString& caption)
    {
        std::fprintf(stderr, "screenshots: file dialog \"%s\" cancelled\n", qPrintable(caption));
        return QString();
    }
};

// Lets layouts, repaints and background label renders finish.
void settle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

QString fileName(const QString& prefix, int number, const QString& text)
{
    QString name = text;
    name.remove(QLatin1Char('&'));
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("-"));
    name.remove(QRegularExpression(QStringLiteral("^-+|-+$")));
    return number < 0 ? QStringLiteral("%1-%2.png").arg(prefix, name)
                      : QStringLiteral("%1-%2-%3.png").arg(prefix).arg(number).arg(name);
}

bool write(QWidget* widget, const QString& path)
{
    const bool ok = widget->grab().save(path, "PNG");
    std::fprintf(ok ? stdout : stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

// Triggers the action and photographs the modal dialog it opens, then closes the dialog. Works for
// flows that run the dialog from within the trigger as for those queued after it.
bool photographDialog(QAction* action, const QString& path)
{
    bool written = false;
    bool done = false;
    int polls = 0;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++polls;
        QWidget* modal = QApplication::activeModalWidget();
        // Give up after ten seconds without a dialog; give one a few polls to lay out and draw.
        if (!modal ? polls < 100 : polls < 6)
            return;
        if (modal)
            written = write(modal, path);
        else
            std::fprintf(stderr, "screenshots: \"%s\" opened no dialog\n", qPrintable(action->text()));
        poll.stop();
        done = true;
        if (modal)
            modal->close();
        loop.quit();
    });
    poll.start();
    action->trigger();
    if (!done)
        loop.exec();
    return written;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: %s OUTDIR ROAD [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    // A private settings folder: the user's recent roads stay as they are.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());

    QApplication application(argc, argv);
    Zemko::Trelvin::prepareApplication(application);
    QuietPrompter prompter;
    Zemko::Trelvin::Prompter::setInstance(&prompter);

    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString road = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const int width = argc == 5 ? QByteArray(argv[3]).toInt() : 1280;
    const int height = argc == 5 ? QByteArray(argv[4]).toInt() : 800;
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "screenshots: cannot make %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    {
        MainWindow window;
        window.resize(width, height);
        window.show();
        settle(300);
        if (!Zemko::Trelvin::Trelvin::instance()->openRoad(road)) {
            std::fprintf(stderr, "screenshots: cannot open %s\n", qPrintable(road));
            return 1;
        }

        Core::Internal::FancyTabWidget* tabs = window.tabWidget();
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->tabBar()->isTabEnabled(i))
                continue;
            tabs->setCurrentIndex(i);
            settle(700);
            ok = write(&window, out.filePath(fileName(QStringLiteral("tab"), i, tabs->tabBar()->tabText(i))))
                && ok;
        }

        const auto* tools = window.findChild<QMenu*>(QStringLiteral("menuTools"));
        for (QAction* action : tools->actions()) {
            if (action->isSeparator() || action->menu() || !action->isEnabled())
                continue;
            ok = photographDialog(action,
                                  out.filePath(fileName(QStringLiteral("dialog"), -1, action->text())))
                && ok;
        }
        window.close();
    }
    Zemko::Trelvin::Prompter::setInstance(nullptr);
    return ok ? 0 : 1;
}
