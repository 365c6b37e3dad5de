// Resource and control ids of SetUp.exe, the one place they are written. SetUp.rc,
// the dialog code and the Windows tests include this file; the e2e build turns
// its #define lines into shell variables of the same names (tests/e2e). Keep one
// "#define NAME number" per line.
#ifndef VELLMARK_APP_SETUPDLG_RES_RESOURCE_H
#define VELLMARK_APP_SETUPDLG_RES_RESOURCE_H

// Resources (all in language 2052, Chinese (Simplified, PRC)).
#define IDI_SETUP 1    // icon group: 48, 32, 16 px in 4, 8, 32 bpp
#define IDD_SETUP 141  // the setup dialog
#define IDB_LOGO 147   // 64 x 64, 24 bpp, shown by the unnamed picture static
#define IDB_MENU 152   // 303 x 175, 24 bpp, shown by IDC_MENU_PICTURE

// Controls of IDD_SETUP. IDOK (1, hidden "安装完成") and IDCANCEL (2, "取  消") come
// from <windows.h>.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)  // etched lines and the logo
#endif
#define IDC_PATH 1000              // edit box: the install folder (m_strPath)
#define IDC_TITLE 1013             // static: product title and version (m_strTitle)
#define IDC_PROGRESS 1014          // progress bar, replaces the folder row while installing
#define IDC_BROWSE 1015            // push button "浏览..."
#define IDC_COMPONENTS_LABEL 1016  // static "请选择安装组件："
#define IDC_PATH_LABEL 1017        // static "请选择安装路径："
#define IDC_EDITION 1021           // static: edition bitness (m_strBits)
#define IDC_INSTALL 1022           // push button "安  装"
#define IDC_DONE_TEXT 1023         // static, hidden, never shown
#define IDC_MENU_PICTURE 1024      // picture of bitmap 152, hidden, never shown

// The twenty release check boxes. The ids follow release order except 2010 and
// 2011, which are swapped in the template; code keys everything by the release
// year and finds a year's box through setupdlg::kReleaseBoxes.
#define IDC_ACAD2007 1018
#define IDC_ACAD2008 1019
#define IDC_ACAD2009 1020
#define IDC_ACAD2010 1027
#define IDC_ACAD2011 1026
#define IDC_ACAD2012 1028
#define IDC_ACAD2013 1029
#define IDC_ACAD2014 1030
#define IDC_ACAD2015 1031
#define IDC_ACAD2016 1032
#define IDC_ACAD2017 1033
#define IDC_ACAD2018 1034
#define IDC_ACAD2019 1035
#define IDC_ACAD2020 1036
#define IDC_ACAD2021 1037
#define IDC_ACAD2022 1038
#define IDC_ACAD2023 1039
#define IDC_ACAD2024 1040
#define IDC_ACAD2025 1041
#define IDC_ACAD2026 1042

#endif  // VELLMARK_APP_SETUPDLG_RES_RESOURCE_H
