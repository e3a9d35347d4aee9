#pragma once

namespace zentrix {

/// Registers (once) the accessibility factory of the program-drawn disk
/// controls: the logged-disk tabs report each tab's letter and whether it is the
/// active one, the drive list each entry's text and whether it is selected;
/// both offer the press action of a click. The controls call it themselves.
void InstallDisksAccessibility();

} // namespace zentrix
