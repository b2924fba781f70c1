#include "shell/about.h"

#include "ui_about.h"

About::About(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::About)
{
    ui->setupUi(this);
    ui->versionLabel->setText(QStringLiteral("%1.%2.%3.%4").arg(1).arg(2).arg(4).arg(20170915));
    setWindowFlags(Qt::Popup | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    // Large fonts may need more room than the form's size; grow first so the centring holds.
    resize(size().expandedTo(minimumSizeHint()));
    if (parent)
        move(parent->mapToGlobal(parent->rect().center() - rect().center()));
}

About::~About() = default;
