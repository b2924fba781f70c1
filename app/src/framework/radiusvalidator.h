#pragma once

#include <QRegExp>
#include <QValidator>

namespace Zemko {
namespace Trelvin {

// Radius text: an optional sign, digits, an optional point and at most four decimals. A negative
// radius is never accepted as typed; fixup drops its sign.
class RadiusValidator : public QValidator
{
public:
    explicit RadiusValidator(QObject* parent = nullptr);

    State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;

    // Three decimals; a straight (infinite radius) is written 0.000.
    static QString toText(double radius);

private:
    QRegExp pattern;
};

} // namespace Trelvin
} // namespace Zemko
