#include "shell/welcomeform.h"

#include "document/trelvin.h"
#include "ui_welcomeform.h"

#include <QCommandLinkButton>
#include <QFileInfo>
#include <QSignalMapper>

namespace {

void showRoad(QCommandLinkButton* button, const QString& path)
{
    const QFileInfo info(path);
    // A file name's '&' would otherwise turn into a shortcut mark.
    button->setText(info.baseName().replace(QLatin1Char('&'), QLatin1String("&&")));
    button->setDescription(info.absoluteFilePath());
    button->show();
}

} // namespace

WelcomeForm::WelcomeForm(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::WelcomeForm)
    , mapper(new QSignalMapper(this))
{
    ui->setupUi(this);
    connect(ui->toolButtonNew, &QToolButton::clicked, this, &WelcomeForm::newRoad);
    connect(ui->toolButtonOpen, &QToolButton::clicked, this, &WelcomeForm::openRoad);
    connect(Zemko::Trelvin::Trelvin::instance(), &Zemko::Trelvin::Trelvin::recentChanged, this,
            &WelcomeForm::loadRecent);
    connect(mapper, &QSignalMapper::mappedWidget, this, &WelcomeForm::onRecentClicked);
    loadRecent();
}

WelcomeForm::~WelcomeForm() = default;

void WelcomeForm::loadRecent()
{
    const QStringList recent = Zemko::Trelvin::Trelvin::instance()->recentRoads();
    int i = 0;
    for (; i < recent.size() && i < buttons.size(); ++i)
        showRoad(buttons[i], recent[i]);
    for (int hidden = i; hidden < buttons.size(); ++hidden)
        buttons[hidden]->hide();
    for (; i < recent.size(); ++i) {
        auto* button = new QCommandLinkButton(this);
        showRoad(button, recent[i]);
        ui->verticalLayoutRecent->addWidget(button);
        connect(button, &QCommandLinkButton::clicked, mapper, qOverload<>(&QSignalMapper::map));
        mapper->setMapping(button, button);
        buttons.append(button);
    }
}

void WelcomeForm::onRecentClicked(QWidget* button)
{
    if (auto* link = qobject_cast<QCommandLinkButton*>(button))
        emit openRecent(link->description());
}
