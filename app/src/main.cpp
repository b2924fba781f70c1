#include "framework/crosssectioneditcache.h"
#include "shell/trelvin.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The recent roads are read first, and the edit cache connects to the document before anything else.
    Zemko::Trelvin::Trelvin::instance();
    Zemko::Trelvin::CrossSectionEditCache::instance();
    QCoreApplication::addLibraryPath(QStringLiteral("./"));

    const QString locale = QLocale::system().name();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    QTranslator qtTranslator;
    qtTranslator.load(QStringLiteral("qt_") + locale, folder);
    QApplication::installTranslator(&qtTranslator);
    QTranslator programTranslator;
    programTranslator.load(
        QFileInfo(QCoreApplication::applicationFilePath()).baseName() + QLatin1Char('_') + locale, folder);
    QApplication::installTranslator(&programTranslator);

    return 0;
}
