// Constants fixed when the program is built.
#pragma once

#ifndef VELLMARK_EDITION_BITS
#error "VELLMARK_EDITION_BITS (32 or 64) comes from the build"
#endif

// Setup version, YYYYMMDD; the dialog shows it as V2025.03.02.
constexpr int kSetupVersion = 20250302;
// The AutoCAD the edition serves: 32-bit or 64-bit. Independent of the
// architecture the program is compiled for.
constexpr int kEditionBits = VELLMARK_EDITION_BITS;
