#pragma once

// The application's id on the desktop; its desktop file is <id>.desktop.
inline constexpr char kApplicationId[] = "org.brelmo.Brelmo";
