#pragma once

#include "document/trelvin.h"
#include "support/roadfiles.h"
#include "support/scriptedprompter.h"

#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectionelement.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplatelibrary.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

// Roads with slope templates for the slope page tests, and the tests' dialog helpers. The templates go
// into the library through the road model and the file is written and read back, so every test starts
// from what a saved road holds.
namespace SlopeSegmentRoads {

using Pelko::Road::SlopeSectionElement;
using Pelko::Road::SlopeSectionTemplateEditable;

inline Zemko::Trelvin::Trelvin* document()
{
    return Zemko::Trelvin::Trelvin::instance();
}

// "Fill A": one 2 m surface at 1:1.5.
inline SlopeSectionTemplateEditable fillA()
{
    SlopeSectionTemplateEditable t("Fill A", Pelko::Road::SlopeSectionFill);
    t.add(SlopeSectionElement::createSlope("bank", 2.0, 1.5));
    return t;
}

// "Fill B": a 4 m surface, a 2 m berm at 2 %, a 6 m surface.
inline SlopeSectionTemplateEditable fillB()
{
    SlopeSectionTemplateEditable t("Fill B", Pelko::Road::SlopeSectionFill);
    t.add(SlopeSectionElement::createSlope("upper", 4.0, 1.5));
    t.add(SlopeSectionElement::createPlatformBySlope("berm", 2.0, 2.0));
    t.add(SlopeSectionElement::createSlope("lower", 6.0, 1.75));
    return t;
}

// "Cut A": a rectangular ditch, then a 3 m face at 1:1.
inline SlopeSectionTemplateEditable cutA()
{
    SlopeSectionTemplateEditable t("Cut A", Pelko::Road::SlopeSectionCut);
    t.add(SlopeSectionElement::createSideDitch("ditch", 0.6, 0.4, 0.8));
    t.add(SlopeSectionElement::createSlope("face", 3.0, 1.0));
    return t;
}

// A segment between two templates of the open road's library.
inline Pelko::Road::SlopeSectionSegment segment(const std::string& name, double start, double end,
                                                const std::string& begin = "Fill A",
                                                const std::string& finish = "Fill A")
{
    const Pelko::Road::SlopeSectionTemplateLibrary* library
        = document()->road()->getSlopeSectionTemplateLibrary();
    return Pelko::Road::SlopeSectionSegment::create(name, { start, library->getByName(begin) },
                                                    { end, library->getByName(finish) })
        .first;
}

// A fresh folder per test function; the road opened from it is closed before the folder goes.
class Folder
{
public:
    void renew()
    {
        document()->closeRoad();
        dir = std::make_unique<QTemporaryDir>();
    }
    bool isValid() const { return dir && dir->isValid(); }

    // Writes the road with the three templates in its library and opens it through the document.
    bool open(const QByteArray& parts = QByteArray())
    {
        roadPath = dir->filePath(QStringLiteral("road.rod"));
        if (!RoadFiles::write(roadPath, RoadFiles::road(parts)) || !document()->openRoad(roadPath))
            return false;
        Pelko::Road::SlopeSectionTemplateLibrary* library
            = document()->road()->getSlopeSectionTemplateLibrary();
        for (const SlopeSectionTemplateEditable& t : { fillA(), fillB(), cutA() })
            if (library->add(t).code != 0)
                return false;
        return document()->road()->save() && reopen();
    }
    bool reopen() const
    {
        document()->closeRoad();
        return document()->openRoad(roadPath);
    }

    QString roadPath;

private:
    std::unique_ptr<QTemporaryDir> dir;
};

// The texts of the warnings shown so far.
inline QStringList warnings(const ScriptedPrompter& prompter)
{
    QStringList texts;
    for (const ScriptedPrompter::Call& call : prompter.calls)
        if (call.kind == ScriptedPrompter::Warning)
            texts << call.text;
    return texts;
}

// Runs the script once the next modal dialog of that class shows.
template<typename Dialog> void whenDialogShows(std::function<void(Dialog*)> script)
{
    QTimer::singleShot(0, [script] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        script(dialog);
    });
}

} // namespace SlopeSegmentRoads
