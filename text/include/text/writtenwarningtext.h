#pragma once

#include <road/atomicfile.h>

#include <QString>

namespace Zemko::Trelvin {

// What the user must hear of a file that a save (a road, a stake list, a TIN) put in place with a
// warning, Pelko::Road::isWritten holding: the file at path, what is amiss and the system's reason
// (errno) where there is one. Empty for None and for outcomes that left the file unwritten, which each
// caller words for what it saves.
QString writtenWarningText(Pelko::Road::SaveError outcome, int systemError, const QString& path);

// The file a save at path writes, every link followed; path itself where they lead nowhere.
QString writtenFile(const QString& path);

// path as the user gave it, in native separators, and where its links lead when that is another file
// ("site.qvr (a link to /data/site.qvr)").
QString pathAndLinkTarget(const QString& path, const QString& file);

} // namespace Zemko::Trelvin
