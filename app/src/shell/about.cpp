#include "shell/about.h"

#include "ui_about.h"

#include <QCoreApplication>

About::About(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::About)
{
    ui->setupUi(this);
    ui->versionLabel->setText(QCoreApplication::applicationVersion());
    setWindowFlags(Qt::Popup | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    // Large fonts may need more room than the form's size; grow first so the centring holds.
    resize(size().expandedTo(minimumSizeHint()));
    if (parent)
        move(parent->mapToGlobal(parent->rect().center() - rect().center()));
}

About::~About() = default;
