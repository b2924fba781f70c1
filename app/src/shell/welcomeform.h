#pragma once

#include <QList>
#include <QWidget>

#include <memory>

class QCommandLinkButton;
class QSignalMapper;

namespace Ui {
class WelcomeForm;
}

// Side tab 0: New and Open, and one button per recent road. It only asks; the main window acts.
class WelcomeForm : public QWidget
{
    Q_OBJECT
public:
    explicit WelcomeForm(QWidget* parent = nullptr);
    ~WelcomeForm() override;

signals:
    void newRoad();
    void openRoad();
    void openRecent(const QString& path);

public slots:
    void loadRecent();
    void onRecentClicked(QWidget* button);

private:
    std::unique_ptr<Ui::WelcomeForm> ui;
    QSignalMapper* mapper;
    // Grown as needed and hidden when the list shrinks, never deleted.
    QList<QCommandLinkButton*> buttons;
};
