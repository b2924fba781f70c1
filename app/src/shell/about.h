#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class About;
}

// Help > About: a pop-up over its parent that deletes itself when closed.
class About : public QWidget
{
    Q_OBJECT
public:
    explicit About(QWidget* parent = nullptr);
    ~About() override;

private:
    std::unique_ptr<Ui::About> ui;
};
