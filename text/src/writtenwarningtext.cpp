#include <text/systemerrortext.h>
#include <text/writtenwarningtext.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Zemko::Trelvin {

QString writtenFile(const QString& path)
{
    const std::string file = Pelko::Road::AtomicFile::resolve(QFile::encodeName(path).toStdString());
    return file.empty() ? path : QFile::decodeName(file.c_str());
}

QString pathAndLinkTarget(const QString& path, const QString& file)
{
    if (QFileInfo(path).absoluteFilePath() == QFileInfo(file).absoluteFilePath())
        return QDir::toNativeSeparators(path);
    return QCoreApplication::translate("WrittenWarningText", "%1 (a link to %2)")
        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(file));
}

QString writtenWarningText(Pelko::Road::SaveError outcome, int systemError, const QString& path)
{
    const char* context = "WrittenWarningText";
    const QString file = QDir::toNativeSeparators(path);
    switch (outcome) {
    case Pelko::Road::SaveError::FolderNotSynced:
        return QCoreApplication::translate(
                   context,
                   "%1 was written, but its folder could not be synced (%2): until it "
                   "is written again, a crash may lose it.")
            .arg(file, systemErrorText(systemError));
    case Pelko::Road::SaveError::FolderNotReadable:
        return QCoreApplication::translate(context,
                                           "%1 was written, but its folder %2 could not be synced, as it may "
                                           "be written but not read: a crash soon after may lose the new "
                                           "file. Saves into this folder go on without syncing it.")
            .arg(file, QDir::toNativeSeparators(QFileInfo(writtenFile(path)).absolutePath()));
    case Pelko::Road::SaveError::AttributesNotKept:
        return QCoreApplication::translate(
                   context,
                   "%1 was written, but the access list or extended attributes of the "
                   "file it replaced could not be carried over (%2): the file now "
                   "allows its owner alone.")
            .arg(file, systemErrorText(systemError));
    case Pelko::Road::SaveError::None:
    case Pelko::Road::SaveError::WriteFailed:
    case Pelko::Road::SaveError::NotRegularFile:
    case Pelko::Road::SaveError::NotRoadFile:
        break;
    }
    return QString();
}

} // namespace Zemko::Trelvin
