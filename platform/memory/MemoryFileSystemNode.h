// One entry of a volume of MemoryFileSystem: a folder or a file with its
// streams. Shared by the files that implement MemoryFileSystem; not for callers.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/FileSystem.h"
#include "platform/memory/GbkText.h"
#include "platform/memory/MemoryFileSystem.h"

namespace mem {

// The attributes NTFS stores for SetFileAttributesA; the rest it ignores.
constexpr std::uint32_t kSettableAttributes = plat::kFileAttributeReadOnly | plat::kFileAttributeHidden |
                                              plat::kFileAttributeSystem | plat::kFileAttributeArchive;

struct MemoryFileSystem::Node {
  struct Stream {
    std::string name;
    std::string data;
  };

  std::string name;  // as created; empty for a drive root
  bool directory = false;
  std::uint32_t attributes = 0;  // kSettableAttributes bits only
  std::string data;
  std::map<std::u16string, Stream> streams;                  // keyed by NameKey: NTFS order
  std::map<std::u16string, std::unique_ptr<Node>> children;  // keyed by NameKey: listing order
  Node* parent = nullptr;
  bool locked = false;
  bool writeDenied = false;

  // NTFS identifies and orders names by their upcased UTF-16 form.
  static std::u16string NameKey(const std::string& text) { return gbk::RegistryNameKey(text); }

  Node* Child(const std::string& childName) const {
    const auto it = children.find(NameKey(childName));
    return it == children.end() ? nullptr : it->second.get();
  }

  Node* AddChild(const std::string& childName, bool isDirectory) {
    auto child = std::make_unique<Node>();
    child->name = childName;
    child->directory = isDirectory;
    child->parent = this;
    Node* raw = child.get();
    children[NameKey(childName)] = std::move(child);
    return raw;
  }

  const Stream* FindStream(const std::string& streamName) const {
    const auto it = streams.find(NameKey(streamName));
    return it == streams.end() ? nullptr : &it->second;
  }

  // As GetFileAttributesA gives them.
  std::uint32_t Visible() const {
    if (directory) return plat::kFileAttributeDirectory | attributes;
    return attributes ? attributes : plat::kFileAttributeNormal;
  }

  // This entry or a folder above it refuses writing.
  bool WriteDenied() const {
    for (const Node* n = this; n; n = n->parent)
      if (n->writeDenied) return true;
    return false;
  }

  plat::FindData Entry(const std::string& listedName) const {
    plat::FindData entry;
    entry.attributes = Visible();
    entry.size = directory ? 0 : data.size();
    entry.fileName = listedName;
    return entry;
  }
};

}  // namespace mem

namespace mem {

// Where a parsed path leads on a volume.
struct MemoryFileSystem::Located {
  Node* folder = nullptr;  // the folder that holds (or would hold) the last name; null for a root
  Node* node = nullptr;    // the entry itself; null when it does not exist
  std::string name;        // the last name, as given
};

// The ways the calls parse their path arguments.
namespace parse {
inline fspath::ParseOptions Plain() { return {}; }
inline fspath::ParseOptions WithStream() {
  fspath::ParseOptions options;
  options.allowStream = true;
  return options;
}
inline fspath::ParseOptions NewName() {
  fspath::ParseOptions options;
  options.dynamicConversion = true;
  return options;
}
inline fspath::ParseOptions TestSide(bool allowStream) {
  fspath::ParseOptions options;
  options.allowStream = allowStream;
  options.unlimited = true;
  return options;
}
inline fspath::ParseOptions Mask() {
  fspath::ParseOptions options;
  options.rawLastSegment = true;
  return options;
}
}  // namespace parse

}  // namespace mem
