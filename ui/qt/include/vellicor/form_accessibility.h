// The window and its quality box as assistive technology sees them.
#pragma once

namespace vellicor {

// From now on the main window is a frame (AT-SPI's role for a top-level window), and the
// quality box (cboQuality) an editable combo box named by its accessible name, "Quality",
// whose value is the quality it shows.
void installFormAccessibility();

}  // namespace vellicor
