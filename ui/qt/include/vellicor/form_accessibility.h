// The window and its quality box as assistive technology sees them.
#pragma once

#include <QComboBox>

namespace vellicor {

// The quality box: an editable combo box that assistive technology knows by this type.
class QualityComboBox final : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;
};

// From now on the main window is a frame (AT-SPI's role for a top-level window), and every
// QualityComboBox an editable combo box named by its accessible name, "Quality", whose value is
// the quality it shows.
void installFormAccessibility();

}  // namespace vellicor
