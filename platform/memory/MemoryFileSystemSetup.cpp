// The test side of MemoryFileSystem: building volumes, looking into them, and the
// canonical text of ListAll.
#include <cstdio>

#include "platform/memory/MemoryFileSystem.h"
#include "platform/memory/MemoryFileSystemNode.h"
#include "text/AnsiText.h"

namespace mem {
namespace {

// A name with '%' escaped.
std::string RenderName(const std::string& name) { return gbk::RenderName(name, "%"); }

// Data: quoted, printable ASCII as it is, \\ \" and \xHH for the rest.
std::string RenderData(const std::string& data) {
  std::string out = "\"";
  char hex[8];
  for (const char c : data) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b == '\\' || b == '"') {
      out.push_back('\\');
      out.push_back(c);
    } else if (b >= 0x20 && b < 0x7F) {
      out.push_back(c);
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      out += hex;
    }
  }
  return out + "\"";
}

std::string RenderAttributes(std::uint32_t attributes) {
  std::string out;
  if (attributes & plat::kFileAttributeReadOnly) out += 'R';
  if (attributes & plat::kFileAttributeHidden) out += 'H';
  if (attributes & plat::kFileAttributeSystem) out += 'S';
  if (attributes & plat::kFileAttributeArchive) out += 'A';
  return out.empty() ? "-" : out;
}

}  // namespace

MemoryFileSystem::Node* MemoryFileSystem::FindTestPath(const std::string& text, std::string* stream) const {
  fspath::Path path;
  Located at;
  if (ParseAndLocate(text.c_str(), parse::TestSide(true), &path, &at) != 0) return nullptr;
  if (stream) *stream = path.stream;
  return at.node;
}

// The folders of the first `count` parts, created where missing; null when a
// file stands in the way or the drive does not exist.
MemoryFileSystem::Node* MemoryFileSystem::MakeFolders(const fspath::Path& path, std::size_t count) {
  const auto drive = m_drives.find(path.drive);
  if (drive == m_drives.end()) return nullptr;
  Node* node = drive->second.get();
  for (std::size_t i = 0; i < count; ++i) {
    Node* child = node->Child(path.parts[i]);
    if (!child) child = node->AddChild(path.parts[i], true);
    if (!child->directory) return nullptr;
    node = child;
  }
  return node;
}

bool MemoryFileSystem::AddDrive(char letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z' || m_drives.count(letter)) return false;
  auto root = std::make_unique<Node>();
  root->directory = true;
  root->attributes = plat::kFileAttributeHidden | plat::kFileAttributeSystem;  // as NTFS shows a root
  m_drives[letter] = std::move(root);
  return true;
}

bool MemoryFileSystem::AddFolder(const std::string& text) {
  fspath::Path path;
  if (ParseText(text.c_str(), parse::TestSide(false), &path) != 0) return false;
  return MakeFolders(path, path.parts.size()) != nullptr;
}

bool MemoryFileSystem::AddFile(const std::string& text, const std::string& content, std::uint32_t attributes) {
  fspath::Path path;
  if (ParseText(text.c_str(), parse::TestSide(true), &path) != 0 || path.parts.empty()) return false;
  Node* folder = MakeFolders(path, path.parts.size() - 1);
  if (!folder) return false;
  Node* file = folder->Child(path.parts.back());
  if (!file) file = folder->AddChild(path.parts.back(), false);
  if (file->directory) return false;
  if (path.stream.empty()) {
    file->data = content;
    file->attributes = attributes & kSettableAttributes;
  } else {
    file->streams[Node::NameKey(path.stream)] = Node::Stream{path.stream, content};
  }
  return true;
}

bool MemoryFileSystem::Exists(const std::string& path) const {
  std::string stream;
  const Node* node = FindTestPath(path, &stream);
  return node && (stream.empty() || node->FindStream(stream));
}

std::optional<std::string> MemoryFileSystem::ReadFile(const std::string& path) const {
  std::string stream;
  const Node* node = FindTestPath(path, &stream);
  if (!node || node->directory) return std::nullopt;
  if (stream.empty()) return node->data;
  const Node::Stream* found = node->FindStream(stream);
  if (!found) return std::nullopt;
  return found->data;
}

std::uint32_t MemoryFileSystem::Attributes(const std::string& path) const {
  std::string stream;
  const Node* node = FindTestPath(path, &stream);
  if (!node || (!stream.empty() && !node->FindStream(stream))) return plat::kInvalidFileAttributes;
  return node->Visible();
}

std::vector<std::string> MemoryFileSystem::Streams(const std::string& path) const {
  std::vector<std::string> names;
  if (const Node* node = FindTestPath(path, nullptr))
    for (const auto& entry : node->streams) names.push_back(entry.second.name);
  return names;
}

bool MemoryFileSystem::LockFile(const std::string& path, bool locked) {
  Node* node = FindTestPath(path, nullptr);
  if (!node || node->directory) return false;
  node->locked = locked;
  return true;
}

bool MemoryFileSystem::DenyWrite(const std::string& path, bool denied) {
  Node* node = FindTestPath(path, nullptr);
  if (!node) return false;
  node->writeDenied = denied;
  return true;
}

void MemoryFileSystem::SetModulePath(const std::string& path) { m_modulePath = path; }

bool MemoryFileSystem::SetCurrentDir(const std::string& text) {
  fspath::Path path;
  Located at;
  if (ParseAndLocate(text.c_str(), parse::TestSide(false), &path, &at) != 0 || !at.node->directory) return false;
  path.trailingSeparator = false;
  m_currentDirectory = path;
  return true;
}

// --- Canonical text -------------------------------------------------------------

void MemoryFileSystem::RenderNode(const Node& node, const std::string& path, std::string* out) const {
  *out += path + (node.directory ? " dir " : " file ") + RenderAttributes(node.attributes);
  if (!node.directory) *out += " " + RenderData(node.data);
  if (node.locked) *out += " locked";
  if (node.writeDenied) *out += " write-denied";
  *out += "\n";
  for (const auto& stream : node.streams)
    *out += path + ":" + RenderName(stream.second.name) + " stream " + RenderData(stream.second.data) + "\n";
  for (const auto& child : node.children) {
    const std::string separator = node.parent ? "\\" : "";
    RenderNode(*child.second, path + separator + RenderName(child.second->name), out);
  }
}

std::string MemoryFileSystem::ListAll() const {
  std::string out;
  for (const auto& drive : m_drives) RenderNode(*drive.second, std::string{drive.first, ':', '\\'}, &out);
  return out;
}

}  // namespace mem
