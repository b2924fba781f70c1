#pragma once

#include <QString>

namespace Zemko {
namespace Trelvin {

// One cell of a typed table row: the text the table shows and the number behind it. A cell filled
// from the road holds the road's value and shows it, often rounded; the value stays, to the last bit,
// until the user types another text, and only a typed text is ever read back. A cell of a new row
// holds no value and is read from its text.
class TextCell
{
public:
    TextCell() = default;

    // The road's value and the text that shows it.
    static TextCell stored(double value, const QString& shown)
    {
        TextCell cell;
        cell.m_text = shown;
        cell.m_number = value;
        cell.m_stored = true;
        return cell;
    }
    // A text to be read, with the number it stands for until it is read.
    static TextCell typed(const QString& text, double number = 0.0)
    {
        TextCell cell;
        cell.m_text = text;
        cell.m_number = number;
        return cell;
    }

    const QString& text() const { return m_text; }
    // The stored value, or what the last check read from the typed text.
    double number() const { return m_number; }
    // Whether the number is the road's value, not yet typed over.
    bool isStored() const { return m_stored; }

    // What the user typed; the text the cell already shows changes nothing, so that an editor left
    // as it was or a block pasted back where it was copied keeps the stored value.
    void type(const QString& text)
    {
        if (text == m_text)
            return;
        m_text = text;
        m_stored = false;
    }
    // The number a check read from the typed text; the text stays as typed, so a second check reads
    // the same.
    void setNumber(double number) { m_number = number; }
    // Another text for the same stored value (the station through the equations, say).
    void setShownText(const QString& shown) { m_text = shown; }

    // The stored value as it is; a typed text through read (bool (const QString&, double&)).
    template<typename Read> bool read(Read read, double& value) const
    {
        if (m_stored) {
            value = m_number;
            return true;
        }
        return read(m_text, value);
    }

private:
    QString m_text;
    double m_number = 0.0;
    bool m_stored = false;
};

} // namespace Trelvin
} // namespace Zemko
