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
#include "deploy/InstallRecord.h"
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
  void SearchValue(HKEY parent, const std::string& subKey, std::string relativePath, std::string basePath);

  // Installation folders ("AcadLocation", exactly as read) and installation key
  // paths (relative to HKEY_LOCAL_MACHINE, ending with a backslash) of release
  // index k; entry i of both describes the same installation.
  // What discovery could not read (it passed over it): releases it may have missed.
  const FailureReport& DiscoveryFailures() const { return m_discoveryFailures; }

  const TextList& InstallFolders(int k) const { return m_arrInstallFolders[k]; }
  const TextList& InstallKeys(int k) const { return m_arrInstallKeys[k]; }

  // Stores the product folder for the registration steps, one trailing
  // backslash dropped.
  void SetTargetPath(std::string folder);
  const std::string& TargetPath() const { return m_strTargetPath; }

  // From now on, what registration and the support files write is added to
  // `record` (null: nothing is recorded), for the uninstaller.
  void RecordInto(InstallRecord* record) { m_record = record; }

  // Writes the demand-load keys of every installation of each ticked release,
  // then trusts the product folder in every profile. Carries on past failures
  // and returns them.
  FailureReport RegisterReleases(const ReleaseFlags& ticked);
  FailureReport RegisterRelease(int year);
  // Adds the product folder to TRUSTEDPATHS in every AutoCAD profile of the
  // current user, whatever release or product it belongs to.
  FailureReport UpdateTrustedPaths();

  // What this user may not write of what the installation of the ticked releases
  // writes: their installation keys (the loader keys go below them) and folders
  // (the fonts, assemblies and plot driver go into them). Nothing is written.
  FailureReport FindMissingRights(const ReleaseFlags& ticked);

  // Taking an installation back, in this order (discovery has run): the loader
  // keys of every installation whose module loader lies in `productFolder` (the
  // other applications' keys, and those of an installation elsewhere, stay); the
  // Applications keys the installation made, once empty; the folder from the
  // TRUSTEDPATHS of the profiles where the record says it was added; the support
  // files it placed and finds unchanged, unless a loader key left on the machine
  // still needs them (AutoCAD's own file put back where one was kept). The shape
  // fonts stay.
  void UnregisterFrom(const std::string& productFolder, RemovalReport& report);
  void RemoveCreatedKeys(const InstallRecord& record, RemovalReport& report);
  void UntrustFolder(const std::string& productFolder, const InstallRecord& record, RemovalReport& report);
  void RemoveSupportFiles(const InstallRecord& record, RemovalReport& report);
  // The installation folders whose keys load a module from `productFolder`.
  TextList FoldersServedFrom(const std::string& productFolder);

  // Places the shape fonts, the managed assemblies and (AutoCAD 2008 only) the
  // plot driver into every installation folder of each ticked release.
  // Overwrites; creates no folder; carries on past failures and returns them.
  // `package`: the package folder the installation copies from.
  FailureReport CopySupportFiles(const ReleaseFlags& ticked, const std::string& package);
  void CopySupportFilesTo(std::string folder, bool plotDriver, const std::string& package, FailureReport& report);

 private:
  long Noted(long rc, const std::string& key);
  void ScanBranch(const char* acadKeyPath, const char* basePathFormat, int lastYear);
  void SearchRelease(HKEY releaseKey, const std::string& basePath, const char* valueName, TextList& paths,
                     TextList& texts);
  void JoinInstallations(const TextList& locationPaths, const TextList& locationFolders, const TextList& namePaths,
                         const TextList& productNames, int lastYear);

  std::string HkcuItem(const std::u16string& path);
  bool OpenHive(HKEY& hive, FailureReport& report);
  bool OpenForListing(HKEY parent, const std::u16string& path, HKEY& key, FailureReport& report,
                      const std::u16string& fullPath);
  std::vector<std::u16string> ListProfileRoots(FailureReport& report);
  std::vector<std::u16string> ListVariablesKeys(const std::vector<std::u16string>& profileRoots, FailureReport& report);
  void TrustTargetIn(const std::u16string& variablesKey, FailureReport& report);

  void WriteModuleKey(HKEY installKey, const std::string& installPath, int keyYear, int module, FailureReport& report);
  void WriteAssemblyKey(HKEY installKey, const std::string& installPath, int year, int assembly,
                        const std::string& installFolder, FailureReport& report);

  void CheckKeyRights(const std::string& installKey, int year, FailureReport& report);
  void CheckFolderRights(const std::string& folder, bool plotDriver, FailureReport& report);

  long ReadLoader(HKEY installKey, const std::string& subKey, std::string& loader);
  void RemoveOwnKeys(HKEY installKey, const std::string& installPath, int keyYear, bool withAssembly,
                     const std::string& productFolder, RemovalReport& report);
  struct Remaining;
  bool RemainingLoaders(Remaining& remaining, RemovalReport& report);
  void RemoveSupportFile(const std::string& path, const RecordEntry& entry, const Remaining& remaining,
                         RemovalReport& report);

  void CopySupportFile(const std::string& source, const std::string& destination, FailureReport& report,
                       bool keepOriginal = false);
  bool KeepOriginal(const std::string& file, const std::string& source, FailureReport& report);
  void Remember(RecordEntry::Kind kind, const std::u16string& path, FailureReport& report, std::uint32_t flags = 0);

  plat::Platform& m_platform;
  plat::IRegistry& m_reg;
  int m_editionBits;
  std::string m_strTargetPath;
  std::array<TextList, acad::kReleaseCount> m_arrInstallFolders;
  std::array<TextList, acad::kReleaseCount> m_arrInstallKeys;
  std::string m_strValueName = "AcadLocation";
  TextList m_arrFoundKeys;
  TextList m_arrFoundValues;
  InstallRecord* m_record = nullptr;
  FailureReport m_discoveryFailures;
};
