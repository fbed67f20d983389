#pragma once
// Addresses of the maker's product pages, opened in the system browser from
// the HELP page. The same addresses are printed on the two buttons.

#include <QLatin1String>

// const rather than constexpr: QLatin1String(const char *) measures the text
// with strlen, which GCC folds at compile time but clang refuses to.
namespace ProductLinks {
const QLatin1String DevicePage("https://tessel-control.example/veltra-mini");
const QLatin1String TankPage("https://tessel-control.example/orbis-tank");
} // namespace ProductLinks
