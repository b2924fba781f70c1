#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace Zemko {
namespace Trelvin {

// Every modal box and file dialog of the program goes through the current prompter, so that tests can
// answer them from a script instead of waiting on a window.
class Prompter
{
public:
    virtual ~Prompter();

    // The prompter in use; the one showing real boxes unless another was installed.
    static Prompter* instance();
    // Installs a prompter (not owned); null puts the real one back.
    static void setInstance(Prompter* prompter);

    virtual QMessageBox::StandardButton
    question(QWidget* parent, const QString& title, const QString& text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
        = 0;
    virtual QMessageBox::StandardButton warning(QWidget* parent, const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton defaultButton
                                                = QMessageBox::NoButton)
        = 0;
    virtual QMessageBox::StandardButton critical(QWidget* parent, const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                 QMessageBox::StandardButton defaultButton
                                                 = QMessageBox::NoButton)
        = 0;
    virtual QMessageBox::StandardButton
    information(QWidget* parent, const QString& title, const QString& text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton)
        = 0;

    // An empty text when the user cancels.
    virtual QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter = nullptr)
        = 0;
    virtual QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                    const QString& filter, QString* selectedFilter = nullptr)
        = 0;
    virtual QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir) = 0;
};

// The prompter that shows QMessageBox and QFileDialog.
class DialogPrompter : public Prompter
{
public:
    QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override;
    QMessageBox::StandardButton warning(QWidget* parent, const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    QMessageBox::StandardButton critical(QWidget* parent, const QString& title, const QString& text,
                                         QMessageBox::StandardButtons buttons,
                                         QMessageBox::StandardButton defaultButton) override;
    QMessageBox::StandardButton information(QWidget* parent, const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override;
    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter, QString* selectedFilter) override;
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter, QString* selectedFilter) override;
    QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir) override;
};

} // namespace Trelvin
} // namespace Zemko
