// CAcadSetup: what the installer knows about the AutoCAD installations of this
// machine, and the product folder of the current installation. One object lives
// for the whole process; discovery fills its per-release lists once at start-up
// and nothing changes them afterwards.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "acad/FailureReport.h"
#include "acad/ReleaseTable.h"
#include "platform/Platform.h"

class CAcadSetup {
 public:
  using TextList = std::vector<std::string>;
  // Check states in release order, 2007 first; non-zero means ticked.
  using ReleaseFlags = std::array<int, acad::kReleaseCount>;

  // `editionBits`: the AutoCAD the program serves, 32 or 64.
  explicit CAcadSetup(plat::Platform& platform, int editionBits = 32)
      : m_platform(platform), m_reg(platform.registry), m_editionBits(editionBits) {}
  CAcadSetup(const CAcadSetup&) = delete;
  CAcadSetup& operator=(const CAcadSetup&) = delete;

  // Finds the installed releases: the Wow6432Node branch first, then the main one.
  void DiscoverReleases();
  void ScanWow6432Node();
  // Depth-first search below `parent`\`subKey` for keys that directly hold the
  // value named m_strValueName; appends their paths (basePath + relativePath) and
  // texts to m_arrFoundKeys and m_arrFoundValues. A key that holds the value hides
  // its subtree.
  void SearchValue(plat::HKey parent, const std::string& subKey, std::string relativePath, std::string basePath);

  // Installation folders ("AcadLocation", exactly as read) and installation key
  // paths (relative to HKEY_LOCAL_MACHINE, ending with a backslash) of release
  // index k; entry i of both describes the same installation.
  const TextList& InstallFolders(int k) const { return m_arrInstallFolders[k]; }
  const TextList& InstallKeys(int k) const { return m_arrInstallKeys[k]; }

  // Stores the product folder for the registration steps, one trailing
  // backslash dropped.
  void SetTargetPath(std::string folder);
  const std::string& TargetPath() const { return m_strTargetPath; }

  // Writes the demand-load keys of every installation of each ticked release,
  // then trusts the product folder in every profile. Carries on past failures
  // and returns them.
  FailureReport RegisterReleases(const ReleaseFlags& ticked);
  FailureReport RegisterRelease(int year);
  // Adds the product folder to TRUSTEDPATHS in every AutoCAD profile of the
  // current user, whatever release or product it belongs to.
  FailureReport UpdateTrustedPaths();

  // Places the shape fonts, the managed assemblies and (AutoCAD 2008 only) the
  // plot driver into every installation folder of each ticked release.
  // Overwrites; creates no folder; carries on past failures and returns them.
  // `owner`: the setup dialog, should the package have gone meanwhile.
  FailureReport CopySupportFiles(const ReleaseFlags& ticked, plat::HWnd owner);
  void CopySupportFilesTo(std::string folder, bool plotDriver, plat::HWnd owner, FailureReport& report);

 private:
  void ScanBranch(const char* acadKeyPath, const char* basePathFormat, int lastYear);
  void SearchRelease(plat::HKey releaseKey, const std::string& basePath, const char* valueName, TextList& paths,
                     TextList& texts);
  void JoinInstallations(const TextList& locationPaths, const TextList& locationFolders, const TextList& namePaths,
                         const TextList& productNames, int lastYear);

  std::string HkcuItem(const std::u16string& path);
  bool OpenHive(plat::HKey& hive, FailureReport& report);
  bool OpenForListing(plat::HKey parent, const std::u16string& path, plat::HKey& key, FailureReport& report,
                      const std::u16string& fullPath);
  std::vector<std::u16string> ListProfileRoots(FailureReport& report);
  std::vector<std::u16string> ListVariablesKeys(const std::vector<std::u16string>& profileRoots, FailureReport& report);
  void TrustTargetIn(const std::u16string& variablesKey, FailureReport& report);

  plat::HKey RecreateKey(plat::HKey installKey, const std::string& item, const std::string& subKey,
                         FailureReport& report);
  void WriteModuleKey(plat::HKey installKey, const std::string& installPath, int keyYear, int module,
                      FailureReport& report);
  void WriteAssemblyKey(plat::HKey installKey, const std::string& installPath, int year, int assembly,
                        const std::string& installFolder, FailureReport& report);
  void WriteDword(plat::HKey key, const std::string& item, const char* name, std::uint32_t value,
                  FailureReport& report);
  void WriteString(plat::HKey key, const std::string& item, const char* name, const std::string& text,
                   FailureReport& report);

  void CopySupportFile(const std::string& source, const std::string& destination, FailureReport& report);

  plat::Platform& m_platform;
  plat::IRegistry& m_reg;
  int m_editionBits;
  std::string m_strTargetPath;
  std::array<TextList, acad::kReleaseCount> m_arrInstallFolders;
  std::array<TextList, acad::kReleaseCount> m_arrInstallKeys;
  std::string m_strValueName = "AcadLocation";
  TextList m_arrFoundKeys;
  TextList m_arrFoundValues;
};

// The release a "ProductName" names: the first year from 2007 to `lastYear`, in
// ascending order, whose first occurrence in the text lies at byte offset 1 or
// more. 0 when there is none. A year at the very start does not count.
int ClassifyProductName(const std::string& productName, int lastYear);
