#pragma once
// Addresses of the maker's product pages, opened in the system browser from
// the HELP page. The same addresses are printed on the two buttons.

#include <QLatin1String>

namespace ProductLinks {
constexpr QLatin1String DevicePage("https://tessel-control.example/veltra-mini");
constexpr QLatin1String TankPage("https://tessel-control.example/orbis-tank");
} // namespace ProductLinks
