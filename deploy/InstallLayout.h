// The names an installation gives to what it leaves on the machine, shared by the
// installer, which makes them, and the uninstaller, which takes them back.
#pragma once

namespace layout {

// Made inside the install folder the user chose.
constexpr const char* kProductFolderName = "Vellmark";
// Beside the package's files in the product folder: SetUp.exe's own copy, which
// Apps & Features starts, and the record of what the installation wrote.
constexpr const char* kUninstallerName = "Uninstall.exe";
constexpr const char* kRecordName = "Uninstall.dat";
// The two shape fonts go into AutoCAD's Fonts folders, never into the product
// folder, and stay there when Vellmark is removed: drawings keep their text.
constexpr const char* kFontsFolder = "Fonts";
constexpr const char* kShapeFonts[] = {"Kavtor_EN.shx", "Kavtor_HZ.shx"};
// The package's Kavtor.prt5 replaces AutoCAD 2008's own PDF plot driver, Drv\pdfplot9.hdi.
constexpr const char* kPlotDriverFolder = "Drv";
constexpr const char* kPlotDriver = "pdfplot9.hdi";
// Appended to an AutoCAD file's path for the copy kept before the installation
// first replaced it (AutoCAD 2008's Drv\pdfplot9.hdi); the uninstaller puts it back.
constexpr const char* kOriginalSuffix = ".vellmark-original";

}  // namespace layout
