#include "shell/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    Zemko::Trelvin::prepareApplication(application);

    MainWindow window;
    window.showMaximized();
    return QApplication::exec();
}
