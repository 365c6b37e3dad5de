// The twenty AutoCAD releases the installer serves, 2007 to 2026, and what the
// program knows per release. Everything per release is indexed k = year - 2007.
#pragma once

#include <array>
#include <string>

namespace acad {

constexpr int kFirstRelease = 2007;
constexpr int kLastRelease = 2026;
constexpr int kReleaseCount = kLastRelease - kFirstRelease + 1;
// The Wow6432Node branch is searched for the two oldest releases only.
constexpr int kLastWow6432Release = 2008;

struct ReleaseInfo {
  int year;
  int moduleNumber;    // Kavtor<n>.ARX, the native module loaded by that release
  int assemblyNumber;  // ACAD<n>.dll, the managed assembly loaded by that release
};

// Releases share modules and assemblies.
constexpr std::array<ReleaseInfo, kReleaseCount> kReleases = {{
    {2007, 2008, 2007}, {2008, 2008, 2007}, {2009, 2009, 2009}, {2010, 2010, 2010}, {2011, 2010, 2010},
    {2012, 2010, 2010}, {2013, 2013, 2013}, {2014, 2013, 2013}, {2015, 2015, 2013}, {2016, 2015, 2013},
    {2017, 2017, 2013}, {2018, 2018, 2013}, {2019, 2019, 2013}, {2020, 2019, 2013}, {2021, 2021, 2013},
    {2022, 2021, 2013}, {2023, 2021, 2013}, {2024, 2021, 2013}, {2025, 2025, 2013}, {2026, 2025, 2013},
}};

constexpr int ReleaseIndex(int year) { return year - kFirstRelease; }
// The 64-bit AutoCAD 2009 also looks for its module under the 2008 name: that edition writes (and takes back) a
// second loader key there.
constexpr int kExtraKeyRelease = 2009;
constexpr int kExtraKeyModule = 2008;
constexpr bool HasExtraModuleKey(int editionBits, int year) { return editionBits == 64 && year == kExtraKeyRelease; }
constexpr bool IsServedRelease(int year) { return year >= kFirstRelease && year <= kLastRelease; }
// The release whose own PDF plot driver the package's replaces (deploy/InstallLayout.h names the file).
constexpr int kPlotDriverRelease = 2008;

}  // namespace acad

// The release a "ProductName" names: the first year from 2007 to `lastYear`, in
// ascending order, whose first occurrence in the text lies at byte offset 1 or
// more (only the first occurrence counts). 0 when there is none. A year at the
// very start does not count.
inline int ClassifyProductName(const std::string& productName, int lastYear) {
  for (int year = acad::kFirstRelease; year <= lastYear; ++year) {
    const auto pos = productName.find(std::to_string(year));
    if (pos != std::string::npos && pos >= 1) return year;
  }
  return 0;
}
