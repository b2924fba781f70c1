#include "document/trelvin.h"

#include <road/atomicfile.h>
#include <road/roadsurface.h>
#include <road/slopesectiontemplatelibrary.h>

#include <text/systemerrortext.h>
#include <text/writtenwarningtext.h>

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace Zemko {
namespace Trelvin {

namespace {

const int recentLimit = 10;

const QString organisation = QStringLiteral("Zemko");
const QString application = QStringLiteral("Trelvin");

// One file reached by two spellings is one road.
QString absolutePath(const QString& path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

std::string localPath(const QString& path)
{
    return path.toLocal8Bit().toStdString();
}

using Pelko::Road::SaveError;

} // namespace

Trelvin::Trelvin()
{
    DataType::registerCategoriesMetaType();

    QSettings store(organisation, application);
    const int size = store.beginReadArray(QStringLiteral("RecentRoads"));
    for (int i = 0; i < size; ++i) {
        store.setArrayIndex(i);
        const QString path = store.value(QStringLiteral("Path")).toString();
        if (!path.isEmpty() && QFileInfo::exists(path) && !m_recent.contains(path)
            && m_recent.size() < recentLimit)
            m_recent.append(path);
    }
    store.endArray();

    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &Trelvin::onWatchedFileChanged);
    for (const QString& path : qAsConst(m_recent))
        watch(path);
}

Trelvin::~Trelvin() = default;

Trelvin* Trelvin::instance()
{
    static Trelvin document;
    return &document;
}

bool Trelvin::isSlopeLibraryAvailable() const
{
    return m_road && m_road->getSlopeSectionTemplateLibrary()->isAvailable();
}

bool Trelvin::createRoad(const QString& path)
{
    m_fileError = SaveError::None;
    if (path.isEmpty())
        return false;
    SaveError error = SaveError::None;
    int systemError = 0;
    const bool saved = Pelko::Road::RoadSurface(localPath(path)).save(&error, &systemError);
    if (!recordWrite(saved, error, systemError, path))
        return false;
    // A new empty file in place of the open road's would leave the old road showing over it.
    if (absolutePath(path) == m_path)
        closeRoad();
    return openRoad(path);
}

bool Trelvin::openRoad(const QString& path)
{
    const QString absolute = absolutePath(path);
    if (absolute == m_path)
        return true;
    closeRoad();

    auto road = std::make_unique<Pelko::Road::RoadSurface>(localPath(absolute));
    if (!road->load())
        return false;
    m_road = std::move(road);
    m_path = absolute;
    addRecent(absolute);
    emit onRoadOpen();
    return true;
}

void Trelvin::closeRoad()
{
    if (m_road) {
        // Handlers still reach the road but already see no path.
        m_path.clear();
        emit onRoadAboutToClose();
        m_road.reset();
    }
    if (editFlags()) {
        m_editFlags = {};
        m_unfiled = {};
        emit editFlagsChanged(editFlags());
    }
}

bool Trelvin::save()
{
    m_saveRefused = false;
    m_saveRefusal.clear();
    m_writeRefusals.clear();
    m_savedCategories = {};
    m_fileError = SaveError::None;
    if (!m_road)
        return true;
    // Both tables describe the one alignment: whichever wrote last would silently replace the other.
    const DataType::Categories alignment = DataType::PointOfIntersection | DataType::HorizontalElement;
    if ((m_editFlags & alignment) == alignment) {
        refuseSave(tr("The Point of Intersections table and the Horizontal Elements table both hold edits "
                      "of the one horizontal alignment, and only one of them can be written.\n"
                      "Apply the table whose edits you keep (the other then shows the road again), "
                      "then save."));
        return false;
    }
    // Every page checks before any writes: one page's refusal must not leave the others' edits in the
    // file under a message that the save failed.
    emit checkBeforeSave();
    if (m_saveRefused)
        return false;
    emit saveRequested();
    if (m_saveRefused)
        return false;
    const DataType::Categories pending = editFlags();
    emit aboutToSaveRoad();
    const DataType::Categories written = pending & ~m_editFlags;
    if (m_editFlags) {
        // A write failed after its check had passed. The edits the other pages put into the road go
        // into the file too, so that the user can be told exactly what was saved.
        if (written && writeRoad())
            m_savedCategories = written;
        else
            addUnfiled(written);
        return false;
    }
    if (!writeRoad()) {
        addUnfiled(written);
        return false;
    }
    m_savedCategories = pending;
    // Every edit is in the file, but the user must hear that it may not survive a crash; a folder
    // that can never be synced does not hold the save up, nor do attributes that were not kept.
    return Pelko::Road::isSaved(m_fileError);
}

bool Trelvin::writeRoad()
{
    if (!m_road)
        return false;
    SaveError error = SaveError::None;
    int systemError = 0;
    const bool saved = m_road->save(&error, &systemError);
    if (!recordWrite(saved, error, systemError, m_path))
        return false;
    // The whole road went into the file, with what an earlier write failed to put there.
    if (m_unfiled) {
        m_unfiled = {};
        emit editFlagsChanged(editFlags());
    }
    return true;
}

void Trelvin::addUnfiled(DataType::Categories categories)
{
    if (!categories)
        return;
    m_unfiled |= categories;
    emit editFlagsChanged(editFlags());
}

// True when the file holds what was written, though perhaps with a warning.
bool Trelvin::recordWrite(bool saved, SaveError error, int systemError, const QString& path)
{
    if (!saved && error == SaveError::None)
        error = SaveError::WriteFailed;
    m_fileError = error;
    m_fileSystemError = systemError;
    m_fileErrorPath = path;
    m_fileErrorIsNews = true;
    // Every save into such a folder meets it again: the user hears it once.
    if (error == SaveError::FolderNotReadable) {
        const QString folder = QFileInfo(writtenFile(path)).absolutePath();
        m_fileErrorIsNews = !m_unsyncableFolders.contains(folder);
        m_unsyncableFolders.insert(folder);
    }
    return Pelko::Road::isWritten(error);
}

QString Trelvin::fileErrorText() const
{
    const QString file = QDir::toNativeSeparators(m_fileErrorPath);
    // What lies at the path is where its links lead.
    const QString target = writtenFile(m_fileErrorPath);
    const QString refused = pathAndLinkTarget(m_fileErrorPath, target);
    switch (m_fileError) {
    case SaveError::None:
        return QString();
    case SaveError::NotRegularFile:
        return tr("%1 is not a regular file; the road was not saved over it.").arg(refused);
    case SaveError::NotRoadFile:
        return tr("%1 is not a road file; the road was not saved over it.").arg(refused);
    case SaveError::FolderNotReadable:
        if (!m_fileErrorIsNews)
            return QString();
        [[fallthrough]];
    case SaveError::FolderNotSynced:
    case SaveError::AttributesNotKept:
        return writtenWarningText(m_fileError, m_fileSystemError, m_fileErrorPath);
    case SaveError::WriteFailed:
        break;
    }
    if (m_fileSystemError == 0)
        return tr("%1 could not be written.").arg(file);
    return tr("%1 could not be written: %2.").arg(file, systemErrorText(m_fileSystemError));
}

QString Trelvin::saveFailedText() const
{
    const QString failed = tr("Save road failed!");
    const QString reason = fileErrorText();
    return reason.isEmpty() ? failed : failed + QLatin1Char('\n') + reason;
}

QString Trelvin::writeFailureText(bool written) const
{
    if (!m_road || (written && m_fileError == SaveError::None))
        return QString();
    if (written && Pelko::Road::isSaved(m_fileError))
        return fileErrorText();
    return saveFailedText();
}

void Trelvin::refuseSave(const QString& reason)
{
    m_saveRefused = true;
    if (m_saveRefusal.isEmpty())
        m_saveRefusal = reason;
}

void Trelvin::refuseWrite(DataType::Categories category, const QString& reason)
{
    m_saveRefused = true;
    m_writeRefusals.append({ category, reason });
}

void Trelvin::notifyDataChanged(DataType::Categories categories)
{
    emit dataChanged(categories);
}

void Trelvin::notifyLibUpdate()
{
    emit libUpdate();
}

void Trelvin::setEditFlags(DataType::Categories categories, bool on)
{
    if (on)
        m_editFlags |= categories;
    else
        m_editFlags &= ~categories;
    emit editFlagsChanged(editFlags());
}

QString Trelvin::recentPath()
{
    QSettings store(organisation, application);
    return store.value(QStringLiteral("RecentPath"), QDir::homePath()).toString();
}

void Trelvin::setRecentPath(const QString& filePath)
{
    if (filePath.isEmpty())
        return;
    QSettings store(organisation, application);
    store.setValue(QStringLiteral("RecentPath"), QFileInfo(filePath).absolutePath());
}

void Trelvin::onWatchedFileChanged(const QString& path)
{
    if (QFileInfo::exists(path)) {
        // Saving replaces the file by renaming a new one over it, which ends the watch on the old one.
        if (m_recent.contains(path))
            watch(path);
        return;
    }
    if (m_watcher.files().contains(path))
        m_watcher.removePath(path);
    if (m_recent.removeAll(path) == 0)
        return;
    saveRecent();
    emit recentChanged();
}

void Trelvin::addRecent(const QString& path)
{
    watch(path);
    // Opening the newest road again (the usual start of a session) leaves the list as stored.
    if (m_recent.value(0) == path)
        return;
    m_recent.removeAll(path);
    m_recent.prepend(path);
    const QStringList dropped = m_recent.mid(recentLimit);
    m_recent = m_recent.mid(0, recentLimit);

    if (!dropped.isEmpty())
        m_watcher.removePaths(dropped);
    saveRecent();
    emit recentChanged();
}

void Trelvin::saveRecent() const
{
    QSettings store(organisation, application);
    // Entries beyond the new size would otherwise stay behind in the file.
    store.remove(QStringLiteral("RecentRoads"));
    store.beginWriteArray(QStringLiteral("RecentRoads"));
    for (int i = 0; i < m_recent.size(); ++i) {
        store.setArrayIndex(i);
        store.setValue(QStringLiteral("Path"), m_recent.at(i));
    }
    store.endArray();
}

void Trelvin::watch(const QString& path)
{
    if (!m_watcher.files().contains(path))
        m_watcher.addPath(path);
}

} // namespace Trelvin
} // namespace Zemko
