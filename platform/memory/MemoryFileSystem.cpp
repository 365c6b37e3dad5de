#include "platform/memory/MemoryFileSystem.h"

#include <cstring>

#include "platform/memory/MemoryFileSystemMatch.h"
#include "platform/memory/MemoryFileSystemNode.h"

namespace mem {
namespace {

using plat::kErrorAccessDenied;
using plat::kErrorFileNotFound;
using plat::kErrorPathNotFound;

constexpr std::size_t kMaxDirectoryChars = 248;  // MAX_PATH - 12: room for an 8.3 name inside
constexpr std::uint32_t kHiddenOrSystem = plat::kFileAttributeHidden | plat::kFileAttributeSystem;

void CopyInto(const MemoryFileSystem::Node& source, MemoryFileSystem::Node* target) {
  target->data = source.data;
  target->attributes = source.attributes | plat::kFileAttributeArchive;
  target->streams = source.streams;
}

}  // namespace

MemoryFileSystem::MemoryFileSystem(FaultInjector& faults) : m_faults(faults) {
  AddDrive('C');
  m_currentDirectory.drive = 'C';
}

MemoryFileSystem::~MemoryFileSystem() = default;

// --- Paths -------------------------------------------------------------------

long MemoryFileSystem::ParseText(const char* text, const fspath::ParseOptions& options, fspath::Path* path) const {
  if (!text) return kErrorPathNotFound;
  return fspath::Parse(text, m_currentDirectory, options, path);
}

long MemoryFileSystem::Locate(const fspath::Path& path, Located* out) const {
  *out = Located{};
  const auto drive = m_drives.find(path.drive);
  if (drive == m_drives.end()) return kErrorPathNotFound;
  Node* node = drive->second.get();
  for (std::size_t i = 0; i < path.parts.size(); ++i) {
    if (!node->directory) return kErrorPathNotFound;
    out->folder = node;
    out->name = path.parts[i];
    node = node->Child(path.parts[i]);
    if (!node) return i + 1 == path.parts.size() ? kErrorFileNotFound : kErrorPathNotFound;
  }
  out->node = node;
  // NTFS refuses a trailing separator on anything but a folder.
  if (path.trailingSeparator && !node->directory) return kErrorInvalidName;
  return 0;
}

long MemoryFileSystem::ParseAndLocate(const char* text, const fspath::ParseOptions& options, fspath::Path* path,
                                      Located* out) const {
  *out = Located{};
  const long rc = ParseText(text, options, path);
  if (rc != 0) return rc;
  return Locate(*path, out);
}

bool MemoryFileSystem::Fail(long error) {
  m_lastError = static_cast<std::uint32_t>(error);
  return error == 0;
}

std::size_t MemoryFileSystem::OpenHandles() const { return m_listings.size(); }

// --- Attributes ----------------------------------------------------------------

long MemoryFileSystem::AttributesOf(const char* text, std::uint32_t* attributes) const {
  fspath::Path path;
  Located at;
  long rc = ParseAndLocate(text, parse::WithStream(), &path, &at);
  if (rc == 0 && !path.stream.empty() && !at.node->FindStream(path.stream)) rc = kErrorFileNotFound;
  *attributes = rc == 0 ? at.node->Visible() : plat::kInvalidFileAttributes;
  return rc;
}

std::uint32_t MemoryFileSystem::GetFileAttributesA(const char* path) {
  if (m_faults.ShouldFail("GetFileAttributesA")) {
    m_lastError = kErrorAccessDenied;
    return plat::kInvalidFileAttributes;
  }
  std::uint32_t attributes = 0;
  const long rc = AttributesOf(path, &attributes);
  if (rc != 0) Fail(rc);
  return attributes;
}

long MemoryFileSystem::DoSetAttributes(const char* text, std::uint32_t attributes) {
  fspath::Path path;
  Located at;
  long rc = ParseAndLocate(text, parse::WithStream(), &path, &at);
  if (rc == 0 && !path.stream.empty() && !at.node->FindStream(path.stream)) rc = kErrorFileNotFound;
  if (rc != 0) return rc;
  if (at.node->WriteDenied()) return kErrorAccessDenied;
  at.node->attributes = attributes & kSettableAttributes;
  return 0;
}

bool MemoryFileSystem::SetFileAttributesA(const char* path, std::uint32_t attributes) {
  if (m_faults.ShouldFail("SetFileAttributesA")) return Fail(kErrorAccessDenied);
  const long rc = DoSetAttributes(path, attributes);
  return rc == 0 || Fail(rc);
}

// --- Delete --------------------------------------------------------------------

long MemoryFileSystem::DoDelete(const char* text) {
  fspath::Path path;
  Located at;
  const long rc = ParseAndLocate(text, parse::WithStream(), &path, &at);
  if (rc != 0) return rc;
  Node& node = *at.node;
  if (!path.stream.empty() && (node.directory || !node.FindStream(path.stream))) return kErrorFileNotFound;
  if (path.stream.empty() && node.directory) return kErrorAccessDenied;
  // The read-only attribute covers every stream of the file.
  if ((node.attributes & plat::kFileAttributeReadOnly) || node.WriteDenied()) return kErrorAccessDenied;
  if (!path.stream.empty()) {
    node.streams.erase(Node::NameKey(path.stream));
    return 0;
  }
  // Sharing is per stream: the running program holds the file's data, not its streams.
  if (node.locked) return kErrorSharingViolation;
  at.folder->children.erase(Node::NameKey(node.name));
  return 0;
}

bool MemoryFileSystem::DeleteFileA(const char* path) {
  if (m_faults.ShouldFail("DeleteFileA")) return Fail(kErrorAccessDenied);
  const long rc = DoDelete(path);
  return rc == 0 || Fail(rc);
}

// --- Copy ----------------------------------------------------------------------

// An existing destination, in the order CopyFileEx meets the checks.
long MemoryFileSystem::CheckCopyTarget(const Node& source, const Node& target, bool failIfExists) const {
  if (failIfExists) return kErrorFileExists;  // CREATE_NEW
  if (target.directory) return kErrorAccessDenied;
  if (&target == &source) return kErrorSharingViolation;
  if (target.attributes & plat::kFileAttributeReadOnly) return kErrorAccessDenied;
  // CREATE_ALWAYS refuses to replace a hidden or system file by one that is not.
  if (target.attributes & kHiddenOrSystem & ~source.attributes) return kErrorAccessDenied;
  if (target.WriteDenied()) return kErrorAccessDenied;
  if (target.locked) return kErrorSharingViolation;
  return 0;
}

long MemoryFileSystem::DoCopy(const char* existingFile, const char* newFile, bool failIfExists) {
  fspath::Path from, to;
  Located source, target;
  long rc = ParseAndLocate(existingFile, parse::Plain(), &from, &source);
  if (rc != 0) return rc;
  if (source.node->directory) return kErrorAccessDenied;
  rc = ParseAndLocate(newFile, parse::NewName(), &to, &target);
  if (rc == kErrorFileNotFound) {
    if (to.trailingSeparator) return kErrorInvalidName;  // "new\" names no file
    if (target.folder->WriteDenied()) return kErrorAccessDenied;
    CopyInto(*source.node, target.folder->AddChild(target.name, false));
    return 0;
  }
  if (rc != 0) return rc;
  rc = CheckCopyTarget(*source.node, *target.node, failIfExists);
  if (rc != 0) return rc;
  CopyInto(*source.node, target.node);  // the existing name and its letter case stay
  return 0;
}

bool MemoryFileSystem::CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) {
  if (m_faults.ShouldFail("CopyFileA")) return Fail(kErrorAccessDenied);
  return Fail(DoCopy(existingFile, newFile, failIfExists));
}

// --- Folders -------------------------------------------------------------------

long MemoryFileSystem::DoCreateDirectory(const char* text) {
  fspath::Path path;
  long rc = ParseText(text, parse::Plain(), &path);
  if (rc != 0) return rc;
  if (!path.verbatim && fspath::Utf16Length(path.Text()) > kMaxDirectoryChars) return kErrorFilenameExcedRange;
  Located at;
  rc = Locate(path, &at);
  if (at.node) return plat::kErrorAlreadyExists;
  if (rc != kErrorFileNotFound) return rc;
  if (at.folder->WriteDenied()) return kErrorAccessDenied;
  at.folder->AddChild(at.name, true);
  return 0;
}

bool MemoryFileSystem::CreateDirectoryA(const char* path) {
  if (m_faults.ShouldFail("CreateDirectoryA")) return Fail(kErrorAccessDenied);
  const long rc = DoCreateDirectory(path);
  return rc == 0 || Fail(rc);
}

int MemoryFileSystem::Mkdir(const char* path) {
  if (m_faults.ShouldFail("_mkdir")) {
    Fail(kErrorAccessDenied);
    return -1;
  }
  const long rc = DoCreateDirectory(path);
  if (rc != 0) Fail(rc);
  return rc == 0 ? 0 : -1;
}

int MemoryFileSystem::Access(const char* path, int mode) {
  if (m_faults.ShouldFail("_access")) {
    Fail(kErrorAccessDenied);
    return -1;
  }
  if (mode & ~6) return -1;  // EINVAL: only 0, 2, 4 and 6 are modes
  std::uint32_t attributes = 0;
  const long rc = AttributesOf(path, &attributes);
  if (rc != 0) {
    Fail(rc);
    return -1;
  }
  const bool readOnlyFile =
      (attributes & plat::kFileAttributeReadOnly) && !(attributes & plat::kFileAttributeDirectory);
  return (mode & 2) && readOnlyFile ? -1 : 0;
}

// --- Module and current directory -----------------------------------------------

std::uint32_t MemoryFileSystem::GetModuleFileNameA(char* buffer, std::uint32_t size) {
  if (m_faults.ShouldFail("GetModuleFileNameA")) {
    Fail(plat::kErrorNotEnoughMemory);
    return 0;
  }
  const std::string& path = m_modulePath;
  if (!buffer || size == 0) {
    Fail(kErrorInsufficientBuffer);
    return 0;
  }
  if (path.size() < size) {
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<std::uint32_t>(path.size());
  }
  std::memcpy(buffer, path.data(), size - 1);
  buffer[size - 1] = '\0';
  Fail(kErrorInsufficientBuffer);
  return size;
}

std::uint32_t MemoryFileSystem::GetCurrentDirectoryA(std::uint32_t size, char* buffer) {
  if (m_faults.ShouldFail("GetCurrentDirectoryA")) {
    Fail(plat::kErrorNotEnoughMemory);
    return 0;
  }
  const std::string text = m_currentDirectory.Text();
  // Too small: the size needed, terminator included, and the buffer untouched.
  if (!buffer || size <= text.size()) return static_cast<std::uint32_t>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<std::uint32_t>(text.size());
}

std::uint32_t MemoryFileSystem::GetLastError() { return m_lastError; }

// --- Listings ----------------------------------------------------------------------

long MemoryFileSystem::ListFolder(const fspath::Path& pattern, std::vector<plat::FindData>* entries) const {
  fspath::Path folderPath = pattern;
  std::string mask;
  if (!pattern.trailingSeparator && !pattern.parts.empty()) {
    mask = pattern.parts.back();
    folderPath.parts.pop_back();
  }
  folderPath.trailingSeparator = false;
  Located at;
  const long rc = Locate(folderPath, &at);
  if (rc == kErrorFileNotFound) return kErrorPathNotFound;  // the folder itself is missing
  if (rc != 0) return rc;
  const Node& folder = *at.node;
  if (!folder.directory) return kErrorDirectory;
  if (mask.empty()) return kErrorFileNotFound;
  if (!wildcard::HasWildcards(mask)) {
    const Node* child = folder.Child(mask);
    if (child) entries->push_back(child->Entry(child->name));
  } else {
    if (folder.parent) {  // a drive root has no "." and ".."
      if (wildcard::Matches(mask, ".")) entries->push_back(folder.Entry("."));
      if (wildcard::Matches(mask, "..")) entries->push_back(folder.parent->Entry(".."));
    }
    for (const auto& child : folder.children)
      if (wildcard::Matches(mask, child.second->name)) entries->push_back(child.second->Entry(child.second->name));
  }
  return entries->empty() ? kErrorFileNotFound : 0;
}

plat::HFind MemoryFileSystem::FindFirstFileA(const char* pattern, plat::FindData* data) {
  if (m_faults.ShouldFail("FindFirstFileA")) {
    Fail(kErrorAccessDenied);
    return plat::kInvalidFindHandle;
  }
  fspath::Path path;
  long rc = data ? ParseText(pattern, parse::Mask(), &path) : plat::kErrorInvalidParameter;
  std::vector<plat::FindData> entries;
  if (rc == 0) rc = ListFolder(path, &entries);
  if (rc != 0) {
    Fail(rc);
    return plat::kInvalidFindHandle;
  }
  const plat::HFind handle = m_nextHandle;
  m_nextHandle += 4;  // handle values are multiples of 4, as Windows gives them
  *data = entries.front();
  m_listings[handle] = Listing{std::move(entries), 1};
  return handle;
}

bool MemoryFileSystem::FindNextFileA(plat::HFind find, plat::FindData* data) {
  if (m_faults.ShouldFail("FindNextFileA")) return Fail(kErrorAccessDenied);
  const auto it = m_listings.find(find);
  if (it == m_listings.end()) return Fail(plat::kErrorInvalidHandle);
  if (!data) return Fail(plat::kErrorInvalidParameter);
  Listing& listing = it->second;
  if (listing.next >= listing.entries.size()) return Fail(kErrorNoMoreFiles);
  *data = listing.entries[listing.next++];
  return true;
}

bool MemoryFileSystem::FindClose(plat::HFind find) {
  const bool fail = m_faults.ShouldFail("FindClose");
  const auto it = m_listings.find(find);
  if (it == m_listings.end()) return Fail(plat::kErrorInvalidHandle);
  m_listings.erase(it);
  return fail ? Fail(plat::kErrorInvalidHandle) : true;
}

}  // namespace mem
