// Constants fixed when the program is built.
#pragma once

#ifndef VELLMARK_EDITION_BITS
#error "VELLMARK_EDITION_BITS (32 or 64) comes from the build"
#endif
#if !defined(VELLMARK_SETUP_VERSION) || !defined(VELLMARK_VERSION_TEXT)
#error "VELLMARK_SETUP_VERSION (YYYYMMDD) comes from the build (VM_SETUP_VERSION)"
#endif

// Setup version, YYYYMMDD; the dialog shows it as V2025.03.02. The build's
// VM_SETUP_VERSION also gives the version resource, so the two cannot differ.
constexpr int kSetupVersion = VELLMARK_SETUP_VERSION;
// The same as Windows shows it: 2025.3.2.0, as in the version resource.
constexpr const char* kVersionText = VELLMARK_VERSION_TEXT;
// The AutoCAD the edition serves: 32-bit or 64-bit. Independent of the
// architecture the program is compiled for.
constexpr int kEditionBits = VELLMARK_EDITION_BITS;
