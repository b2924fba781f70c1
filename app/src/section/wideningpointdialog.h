#pragma once

#include "section/dialogwithstation.h"

#include <road/wideningpoint.h>

#include <memory>

namespace Ui {
class WideningPointDialog;
}

// Station, width and vary type of one widening point.
class WideningPointDialog : public DialogWithStation
{
    Q_OBJECT

public:
    explicit WideningPointDialog(QWidget* parent = nullptr);
    ~WideningPointDialog() override;

    // Metres.
    double width() const;
    Pelko::Road::WideningPoint point() const;

protected:
    // The width is the element's whole width from the station on, so it cannot be negative.
    bool validateValue() override;

private:
    std::unique_ptr<Ui::WideningPointDialog> ui;
};
