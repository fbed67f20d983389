#pragma once
// Places in the main window that several pages and dialogs share.

#include <QPoint>

namespace WindowLayout {

// Pages of the stacked widget.
enum Page { DevicesPage = 0, FirmwarePage = 1, SettingsPage = 2, SlotsPage = 3 };

// The image editor and the curve dialog open over the right-hand body of the
// window: this far from the top-left corner of the body panel widget_8.
constexpr QPoint DialogOffset(175, 35);

} // namespace WindowLayout
