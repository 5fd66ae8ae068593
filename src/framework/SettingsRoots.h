#pragma once

#include <QLatin1String>

// The roots of the per-user settings store, as the program has always named
// them (backslashes become groups in UserSettings). Other installations of the
// program read the same keys, so the names stay as they are.
namespace settingsroot {
inline constexpr QLatin1String Lindavo{"Software\\Lindavo"};            // grid menus, calendar
inline constexpr QLatin1String Kovra{"Software\\Kovra"};                // message dialog positions
inline constexpr QLatin1String Quendel{"Software\\Quendel"};            // grid find dialog
inline constexpr QLatin1String KovraCompany{"Software\\Kovra s.r.o."};  // lookup combo box widths
inline constexpr QLatin1String Software{"Software"};                    // + "\<program>\<window class>"
}  // namespace settingsroot
