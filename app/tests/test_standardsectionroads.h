#pragma once

#include "document/trelvin.h"
#include "support/roadfiles.h"

#include <road/roadsurface.h>
#include <road/standardsection.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QQueue>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

// Road files, widget lookups and dialog answers shared by the standard-section, superelevation and
// widening tests.
namespace SectionRoads {

template<typename T> T* child(QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// One side of the open road's standard section as the road holds it.
inline Pelko::Road::CrossSectionConfiguration roadSide(int side)
{
    return Zemko::Trelvin::Trelvin::instance()->road()->getStandardSection()->getCrossSectionConfiguration(
        Pelko::Road::StandardSection::SectionSide(side));
}

inline QStringList rowTexts(const QAbstractItemModel& model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}

// A fresh folder per test function, for the road files a test writes.
class Folder
{
public:
    bool renew()
    {
        dir = std::make_unique<QTemporaryDir>();
        return dir->isValid();
    }

    // The path of the written road file; empty when it could not be written.
    QString writeRoad(const QByteArray& content, const QString& name = QStringLiteral("road.rod")) const
    {
        const QString path = dir->filePath(name);
        return RoadFiles::write(path, content) ? path : QString();
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
};

struct Point
{
    int method;
    double station;
    double value;
};

inline QByteArray points(const QByteArray& tag, const QByteArray& valueTag, const QList<Point>& list)
{
    QByteArray xml = "<" + tag + ">";
    for (const Point& p : list)
        xml += "<element><method>" + QByteArray::number(p.method) + "</method><station>"
            + QByteArray::number(p.station, 'g', 17) + "</station><" + valueTag + ">"
            + QByteArray::number(p.value, 'g', 17) + "</" + valueTag + "></element>";
    return xml + "</" + tag + ">\n";
}

inline QByteArray element(const QByteArray& name, double width, double slope, double step = 0.0,
                          const QList<Point>& superelevation = {}, const QList<Point>& widening = {})
{
    return "<element><template><name>" + name + "</name><width>" + QByteArray::number(width, 'g', 17)
        + "</width><slope>" + QByteArray::number(slope, 'g', 17) + "</slope><delta_elevation>"
        + QByteArray::number(step, 'g', 17) + "</delta_elevation></template>\n"
        + points("Superelevation", "slope", superelevation) + points("Widening", "width", widening)
        + "</element>\n";
}

inline QByteArray section(const QByteArray& left, const QByteArray& right)
{
    return "<StandardSection><left>\n" + left + "</left><right>\n" + right + "</right></StandardSection>\n";
}

inline QByteArray pivot(int type, double offset)
{
    return "<PivotType>" + QByteArray::number(type) + "</PivotType><PivotOffset>"
        + QByteArray::number(offset, 'g', 17) + "</PivotOffset>\n";
}

// Left: one lane with superelevation points at 100 (method 0, the file default) and 200 (cubic) and a
// widening point at 100. Right: a lane and a shoulder without points.
inline QByteArray pointRoad()
{
    return RoadFiles::road(section(
        element("lane", 3.5, -2.0, 0.0, { { 0, 100.0, -2.0 }, { 2, 200.0, 4.0 } }, { { 1, 100.0, 3.5 } }),
        element("lane", 3.5, -2.0) + element("shoulder", 1.5, -4.0, 0.1)));
}

// Answers the modal dialogs a flow opens, one step per visible dialog in turn. A step that leaves its
// dialog open (a refused input) gets the same dialog for the next step.
class DialogScript : public QObject
{
public:
    using Step = std::function<void(QDialog*)>;

    void then(const Step& step) { steps.enqueue(step); }
    void start()
    {
        QTimer::singleShot(0, this, [this] { next(); });
    }
    bool done() const { return steps.isEmpty(); }
    int answered = 0;
    int unexpected = 0;

private:
    void next()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (steps.isEmpty()) {
            // A dialog nobody expected is closed, so that the test fails instead of hanging.
            if (dialog && dialog->isVisible()) {
                ++unexpected;
                dialog->reject();
            }
            if (++waits < 100)
                QTimer::singleShot(10, this, [this] { next(); });
            return;
        }
        if (!dialog || !dialog->isVisible()) {
            // Between two dialogs of a flow; give up after a few seconds so a test never hangs.
            if (++waits < 500)
                QTimer::singleShot(10, this, [this] { next(); });
            return;
        }
        waits = 0;
        ++answered;
        steps.dequeue()(dialog);
        QTimer::singleShot(0, this, [this] { next(); });
    }

    QQueue<Step> steps;
    int waits = 0;
};

} // namespace SectionRoads
