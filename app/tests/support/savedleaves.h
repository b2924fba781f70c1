#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QXmlStreamReader>
#include <QtTest>

// The values of a saved road file, leaf by leaf, to tell what a save changed. The file writes every
// number with 17 digits, so two equal texts are the same double to the last bit.
namespace SavedLeaves {

struct Leaf
{
    // "Road/HorizontalAlignment/element[2]/x": each element counted among its siblings of the same
    // name from 0.
    QString path;
    QString text;
};

inline QList<Leaf> read(const QByteArray& xml)
{
    // Elements are numbered where their name repeats among their siblings: the first pass counts.
    QMap<QString, int> repeats;
    QList<Leaf> leaves;
    for (int pass = 0; pass < 2; ++pass) {
        QXmlStreamReader reader(xml);
        QStringList names;
        QStringList counted;
        QList<QMap<QString, int>> counts;
        counts.append(QMap<QString, int>());
        QString text;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement()) {
                const QString name = reader.name().toString();
                const int index = counts.last()[name]++;
                const QString parent = counted.join(QLatin1Char('/'));
                counted.append(QStringLiteral("%1[%2]").arg(name).arg(index));
                if (pass == 0)
                    repeats[parent + QLatin1Char('/') + name] = index + 1;
                names.append(repeats.value(parent + QLatin1Char('/') + name) > 1 ? counted.last() : name);
                counts.append(QMap<QString, int>());
                text.clear();
            } else if (reader.isCharacters()) {
                text += reader.text();
            } else if (reader.isEndElement()) {
                if (pass == 1 && counts.last().isEmpty())
                    leaves.append({ names.join(QLatin1Char('/')), text.trimmed() });
                names.removeLast();
                counted.removeLast();
                counts.removeLast();
                text.clear();
            }
        }
        if (reader.hasError())
            qWarning("unreadable road file: %s", qPrintable(reader.errorString()));
    }
    return leaves;
}

// What an edit may change in the file: the leaf at a path takes a value (a double compares as a
// number, a string as text, an invalid value allows any), the leaves under a path are gone.
struct Expected
{
    QMap<QString, QVariant> changed;
    QStringList removed;
};

// Every leaf of the file after the edit is the leaf before it, bit for bit, except where expected.
inline bool matches(const QList<Leaf>& before, const QList<Leaf>& after, const Expected& expected)
{
    QList<Leaf> kept;
    for (const Leaf& leaf : before) {
        bool gone = false;
        for (const QString& removed : expected.removed)
            gone = gone || leaf.path == removed || leaf.path.startsWith(removed + QLatin1Char('/'));
        if (!gone)
            kept.append(leaf);
    }
    // Paths after a removal count one fewer sibling; the order of the leaves says which is which.
    const auto names
        = [](QString path) { return path.remove(QRegularExpression(QStringLiteral("\\[\\d+\\]"))); };
    if (kept.size() != after.size()) {
        qWarning("%d leaves expected, %d saved", int(kept.size()), int(after.size()));
        return false;
    }
    bool same = true;
    QStringList seen;
    for (int i = 0; i < kept.size(); ++i) {
        const Leaf& was = kept.at(i);
        const Leaf& now = after.at(i);
        if (names(was.path) != names(now.path)) {
            qWarning("leaf %d: %s saved where %s was", i, qPrintable(now.path), qPrintable(was.path));
            return false;
        }
        if (!expected.changed.contains(was.path)) {
            if (was.text != now.text) {
                qWarning("%s changed from %s to %s", qPrintable(was.path), qPrintable(was.text),
                         qPrintable(now.text));
                same = false;
            }
            continue;
        }
        seen.append(was.path);
        const QVariant value = expected.changed.value(was.path);
        const bool ok = !value.isValid()
            || (value.type() == QVariant::Double ? now.text.toDouble() == value.toDouble()
                                                 : now.text == value.toString());
        if (!ok) {
            qWarning("%s is %s, not %s", qPrintable(was.path), qPrintable(now.text),
                     qPrintable(value.toString()));
            same = false;
        }
    }
    for (const QString& path : expected.changed.keys())
        if (!seen.contains(path)) {
            qWarning("no leaf %s", qPrintable(path));
            same = false;
        }
    return same;
}

} // namespace SavedLeaves
