#include "platform/memory/MemoryRegistry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "platform/memory/GbkText.h"
#include "text/AnsiText.h"

namespace mem {
namespace {

using plat::HKey;

constexpr std::size_t kMaxNameUnits = 255;  // UTF-16 units in one key name
constexpr std::uint32_t kKeyNotify = 0x0010;
constexpr std::uint32_t kKeyCreateLink = 0x0020;
constexpr std::uint32_t kWriteDac = 0x40000;
constexpr std::uint32_t kWriteOwner = 0x80000;
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericExecute = 0x20000000u;
constexpr std::uint32_t kGenericAll = 0x10000000u;
constexpr std::uint32_t kWow64Flags = 0x0300;  // KEY_WOW64_64KEY | KEY_WOW64_32KEY: no access bits
constexpr std::uint32_t kReadRights = kKeyQueryValue | kKeyEnumerateSubKeys | kKeyNotify;
constexpr std::uint32_t kWriteRights =
    kKeySetValue | kKeyCreateSubKey | kKeyCreateLink | kDelete | kWriteDac | kWriteOwner;

// HKEY_CLASSES_ROOT .. HKEY_DYN_DATA: the values Windows treats as predefined keys.
bool IsPredefined(HKey key) { return key >= 0x80000000u && key <= 0x80000006u; }

bool IsStringType(std::uint32_t type) {
  return type == plat::kRegSz || type == plat::kRegExpandSz || type == plat::kRegMultiSz;
}

std::uint32_t MapGeneric(std::uint32_t access) {
  if (access & kGenericRead) access |= plat::kKeyRead;
  if (access & kGenericWrite) access |= kKeyWrite;
  if (access & kGenericExecute) access |= plat::kKeyRead;
  if (access & kGenericAll) access |= plat::kKeyAllAccess;
  return access & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll | kWow64Flags);
}

// Splits a relative path the way the registry parses it: a separator is a
// single-byte backslash (a GBK trail byte 0x5C is not one), repeated and
// trailing separators are skipped, a leading one is refused.
long SplitPath(const char* path, std::vector<std::string>* names) {
  names->clear();
  if (!path) return plat::kErrorSuccess;
  const std::string_view text(path);
  if (!text.empty() && text[0] == '\\') return kErrorBadPathname;
  std::string current;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = ansi::CharLength(text, i);
    if (n == 1 && text[i] == '\\') {
      if (!current.empty()) names->push_back(current);
      current.clear();
    } else {
      current.append(text.substr(i, n));
    }
    i += n;
  }
  if (!current.empty()) names->push_back(current);
  for (const std::string& name : *names)
    if (gbk::ToUtf16Lenient(name).size() > kMaxNameUnits) return plat::kErrorInvalidParameter;
  return plat::kErrorSuccess;
}

bool SameName(const std::string& a, const std::string& b) { return gbk::RegistryNameKey(a) == gbk::RegistryNameKey(b); }

// --- Export rendering --------------------------------------------------------

// A name with '%' and '"' (names stand in quotes) escaped.
std::string RenderName(const std::string& name) { return gbk::RenderName(name, "%\""); }

// String data: quoted, with \\ \" \0 and \xHH escapes; valid GBK characters as UTF-8.
std::string RenderQuoted(const std::string& data) {
  std::string out = "\"";
  char hex[8];
  for (std::size_t i = 0; i < data.size();) {
    const unsigned char b = static_cast<unsigned char>(data[i]);
    const std::size_t n = ansi::CharLength(data, i);
    std::string utf8, back;
    if (b == '\\' || b == '"') {
      out.push_back('\\');
      out.push_back(static_cast<char>(b));
    } else if (b == 0) {
      out += "\\0";
    } else if (b >= 0x20 && b < 0x7F) {
      out.push_back(static_cast<char>(b));
    } else if (b >= 0x80 && gbk::ToUtf8(data.substr(i, n), &utf8) && gbk::FromUtf8(utf8, &back) &&
               back == data.substr(i, n)) {
      out += utf8;
      i += n;
      continue;
    } else {
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      out += hex;
    }
    ++i;
  }
  return out + "\"";
}

std::string RenderData(std::uint32_t type, const std::string& data) {
  char buffer[32];
  if (type == plat::kRegSz) return "sz:" + RenderQuoted(data);
  if (type == plat::kRegExpandSz) return "expand_sz:" + RenderQuoted(data);
  if (type == plat::kRegMultiSz) return "multi_sz:" + RenderQuoted(data);
  if (type == plat::kRegDword && data.size() == 4) {
    std::uint32_t v = 0;
    std::memcpy(&v, data.data(), 4);
    std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(v));
    return buffer;
  }
  std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(type));
  std::string out = buffer;
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, i ? ",%02x" : "%02x", static_cast<unsigned char>(data[i]));
    out += buffer;
  }
  return out;
}

}  // namespace

struct MemoryRegistry::Key {
  struct NamedValue {
    std::string name;
    Value value;
  };

  std::string name;
  Key* parent = nullptr;
  std::map<std::u16string, std::shared_ptr<Key>> subkeys;  // keyed by RegistryNameKey: enumeration order
  std::vector<NamedValue> values;                          // in the order first set
  bool denyRead = false;
  bool denyWrite = false;
  bool deleted = false;
  // The subkeys by index, as RegEnumKeyExA asks for them: Windows answers an index
  // without walking the ones before it, so a wide key enumerates in linear time.
  mutable std::vector<const Key*> byIndex;
  mutable bool byIndexStale = true;

  const Key* SubkeyAt(std::size_t index) const {
    if (byIndexStale) {
      byIndex.clear();
      for (const auto& entry : subkeys) byIndex.push_back(entry.second.get());
      byIndexStale = false;
    }
    return byIndex[index];
  }

  std::shared_ptr<Key> Child(const std::string& childName) const {
    const auto it = subkeys.find(gbk::RegistryNameKey(childName));
    return it == subkeys.end() ? nullptr : it->second;
  }

  std::shared_ptr<Key> AddChild(const std::string& childName) {
    auto child = std::make_shared<Key>();
    child->name = childName;
    child->parent = this;
    subkeys[gbk::RegistryNameKey(childName)] = child;
    byIndexStale = true;
    return child;
  }

  NamedValue* FindValue(const std::string& valueName) {
    for (NamedValue& v : values)
      if (SameName(v.name, valueName)) return &v;
    return nullptr;
  }

  // An existing value keeps its name and place; only type and data change.
  void SetValue(const std::string& valueName, Value value) {
    if (NamedValue* v = FindValue(valueName)) {
      v->value = std::move(value);
      return;
    }
    values.push_back({valueName, std::move(value)});
  }

  // Unlinks the key from its parent and marks it and everything below deleted.
  void Detach() {
    if (parent) {
      parent->subkeys.erase(gbk::RegistryNameKey(name));
      parent->byIndexStale = true;
    }
    parent = nullptr;
    MarkDeleted();
  }

  void MarkDeleted() {
    deleted = true;
    for (auto& entry : subkeys) {
      entry.second->parent = nullptr;
      entry.second->MarkDeleted();
    }
    subkeys.clear();
    byIndexStale = true;
  }

  std::uint32_t DeniedRights() const { return (denyRead ? kReadRights : 0) | (denyWrite ? kWriteRights : 0); }

  // The access a handle gets when `requested` is asked for, or an error when the
  // key's (simulated) ACL refuses part of it.
  long Grant(std::uint32_t requested, std::uint32_t* granted) const {
    const std::uint32_t wanted = MapGeneric(requested);
    std::uint32_t give = wanted & ~kMaximumAllowed;
    if (give & DeniedRights()) return plat::kErrorAccessDenied;
    if (wanted & kMaximumAllowed) {
      if (denyRead && denyWrite) return plat::kErrorAccessDenied;
      give |= plat::kKeyAllAccess & ~DeniedRights();
    }
    *granted = give;
    return plat::kErrorSuccess;
  }

  std::string Path() const { return parent ? parent->Path() + "\\" + name : name; }
};

MemoryRegistry::MemoryRegistry(FaultInjector& faults)
    : m_faults(faults), m_localMachine(std::make_shared<Key>()), m_currentUser(std::make_shared<Key>()) {
  m_localMachine->name = "HKEY_LOCAL_MACHINE";
  m_currentUser->name = "HKEY_CURRENT_USER";
}

MemoryRegistry::~MemoryRegistry() = default;

// --- Handles ---------------------------------------------------------------

long MemoryRegistry::Resolve(HKey key, Handle* out) const {
  if (key == plat::kHKeyLocalMachine || key == plat::kHKeyCurrentUser) {
    // Windows opens a predefined key with MAXIMUM_ALLOWED on first use.
    out->key = key == plat::kHKeyLocalMachine ? m_localMachine : m_currentUser;
    out->access = 0;
    out->key->Grant(kMaximumAllowed, &out->access);
    return plat::kErrorSuccess;
  }
  const auto it = m_handles.find(key);
  if (it == m_handles.end()) return plat::kErrorInvalidHandle;
  *out = it->second;
  return plat::kErrorSuccess;
}

long MemoryRegistry::ResolveLive(HKey key, Handle* out) const {
  const long rc = Resolve(key, out);
  if (rc != plat::kErrorSuccess) return rc;
  return out->key->deleted ? plat::kErrorKeyDeleted : plat::kErrorSuccess;
}

HKey MemoryRegistry::NewHandle(const std::shared_ptr<Key>& key, std::uint32_t access) {
  const HKey handle = m_nextHandle;
  m_nextHandle += 4;  // handle values are multiples of 4, as Windows gives them
  m_handles[handle] = Handle{key, access};
  return handle;
}

long MemoryRegistry::OpenPath(const Handle& from, const char* subKey, std::uint32_t access, HKey* result) {
  std::vector<std::string> names;
  long rc = SplitPath(subKey, &names);
  if (rc != plat::kErrorSuccess) return rc;
  std::shared_ptr<Key> key = from.key;
  for (const std::string& name : names) {
    key = key->Child(name);
    if (!key) return plat::kErrorFileNotFound;
  }
  std::uint32_t granted = 0;
  rc = key->Grant(access, &granted);
  if (rc != plat::kErrorSuccess) return rc;
  *result = NewHandle(key, granted);
  return plat::kErrorSuccess;
}

std::size_t MemoryRegistry::OpenHandles() const { return m_handles.size(); }

// --- IRegistry ---------------------------------------------------------------

long MemoryRegistry::RegOpenKeyA(HKey key, const char* subKey, HKey* result) {
  if (m_faults.ShouldFail("RegOpenKeyA")) {
    if (result) *result = 0;
    return plat::kErrorAccessDenied;
  }
  if (!result) return plat::kErrorInvalidParameter;
  // No new handle, and no check of `key` either: Windows hands back what it got.
  if (!subKey || !*subKey) {
    *result = key;
    return plat::kErrorSuccess;
  }
  if (key == 0) return plat::kErrorInvalidHandle;
  *result = 0;
  Handle from;
  const long rc = ResolveLive(key, &from);
  if (rc != plat::kErrorSuccess) return rc;
  return OpenPath(from, subKey, kMaximumAllowed, result);
}

long MemoryRegistry::RegOpenKeyExA(HKey key, const char* subKey, std::uint32_t /*options*/, std::uint32_t access,
                                   HKey* result) {
  if (m_faults.ShouldFail("RegOpenKeyExA")) {
    if (result) *result = 0;
    return plat::kErrorAccessDenied;
  }
  // A predefined key with no sub key comes back as itself; any other key gets a second handle.
  if (result && (!subKey || !*subKey) && IsPredefined(key)) {
    *result = key;
    return plat::kErrorSuccess;
  }
  if (!result) return plat::kErrorInvalidParameter;
  if (key == 0) return plat::kErrorInvalidHandle;  // the result is left alone
  *result = 0;
  Handle from;
  const long rc = ResolveLive(key, &from);
  if (rc != plat::kErrorSuccess) return rc;
  return OpenPath(from, subKey, access, result);
}

long MemoryRegistry::RegQueryInfoKeyA(HKey key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                                      std::uint32_t* values) {
  if (m_faults.ShouldFail("RegQueryInfoKeyA")) return plat::kErrorAccessDenied;
  Handle h;
  const long rc = ResolveLive(key, &h);
  if (rc != plat::kErrorSuccess) return rc;
  if (!(h.access & kKeyQueryValue)) return plat::kErrorAccessDenied;
  if (subKeys) *subKeys = static_cast<std::uint32_t>(h.key->subkeys.size());
  if (maxSubKeyLen) {
    // In UTF-16 units, not in bytes of the ANSI name: "中文" counts 2.
    std::size_t longest = 0;
    for (const auto& entry : h.key->subkeys) longest = std::max(longest, entry.first.size());
    *maxSubKeyLen = static_cast<std::uint32_t>(longest);
  }
  if (values) *values = static_cast<std::uint32_t>(h.key->values.size());
  return plat::kErrorSuccess;
}

long MemoryRegistry::RegEnumKeyExA(HKey key, std::uint32_t index, char* name, std::uint32_t* nameLen) {
  if (m_faults.ShouldFail("RegEnumKeyExA")) return plat::kErrorAccessDenied;
  if (!name || !nameLen) return plat::kErrorInvalidParameter;
  Handle h;
  const long rc = ResolveLive(key, &h);
  if (rc != plat::kErrorSuccess) return rc;
  if (!(h.access & kKeyEnumerateSubKeys)) return plat::kErrorAccessDenied;
  if (index >= h.key->subkeys.size()) return plat::kErrorNoMoreItems;
  const std::string& found = h.key->SubkeyAt(index)->name;
  // The buffer must hold the name and its terminator; name and length stay untouched otherwise.
  if (found.size() >= *nameLen) return plat::kErrorMoreData;
  std::memcpy(name, found.data(), found.size());
  name[found.size()] = '\0';
  *nameLen = static_cast<std::uint32_t>(found.size());
  return plat::kErrorSuccess;
}

long MemoryRegistry::RegQueryValueExA(HKey key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                                      std::uint32_t* dataSize) {
  if (m_faults.ShouldFail("RegQueryValueExA")) return plat::kErrorAccessDenied;
  if (data && !dataSize) return plat::kErrorInvalidParameter;
  if (key == 0) return plat::kErrorInvalidHandle;
  const std::uint32_t offered = dataSize ? *dataSize : 0;
  if (!data && dataSize) *dataSize = 0;  // also when the value turns out to be missing
  Handle h;
  long rc = ResolveLive(key, &h);
  if (rc != plat::kErrorSuccess) return rc;
  if (!(h.access & kKeyQueryValue)) return plat::kErrorAccessDenied;
  const Key::NamedValue* found = h.key->FindValue(valueName ? valueName : "");
  if (!found) return plat::kErrorFileNotFound;
  const std::string& bytes = found->value.data;
  if (data) {
    if (bytes.size() > offered) {
      rc = plat::kErrorMoreData;
    } else {
      std::memcpy(data, bytes.data(), bytes.size());
      // Windows terminates a string stored without its NUL when the buffer has room for one.
      if (IsStringType(found->value.type) && !bytes.empty() && bytes.size() < offered && bytes.back() != '\0')
        data[bytes.size()] = 0;
    }
  }
  if (type) *type = found->value.type;
  if (dataSize) *dataSize = static_cast<std::uint32_t>(bytes.size());
  return rc;
}

long MemoryRegistry::RegCloseKey(HKey key) {
  const bool fail = m_faults.ShouldFail("RegCloseKey");
  if (key == 0) return plat::kErrorInvalidHandle;
  if (key >= 0x80000000u) return fail ? plat::kErrorInvalidHandle : plat::kErrorSuccess;
  const auto it = m_handles.find(key);
  if (it == m_handles.end()) return plat::kErrorInvalidHandle;
  m_handles.erase(it);
  return fail ? plat::kErrorInvalidHandle : plat::kErrorSuccess;
}

long MemoryRegistry::RegCreateKeyA(HKey key, const char* subKey, HKey* result) {
  if (m_faults.ShouldFail("RegCreateKeyA")) {
    if (result) *result = 0;
    return plat::kErrorAccessDenied;
  }
  if (!result) return kErrorBadKey;
  // Documented for RegCreateKeyA: a predefined key with no sub key comes back as itself.
  if ((!subKey || !*subKey) && IsPredefined(key)) {
    *result = key;
    return plat::kErrorSuccess;
  }
  if (key == 0) return plat::kErrorInvalidHandle;
  *result = 0;
  Handle from;
  long rc = ResolveLive(key, &from);
  if (rc != plat::kErrorSuccess) return rc;
  std::vector<std::string> names;
  rc = SplitPath(subKey, &names);
  if (rc != plat::kErrorSuccess) return rc;
  std::shared_ptr<Key> current = from.key;
  std::size_t i = 0;
  for (; i < names.size(); ++i) {
    std::shared_ptr<Key> child = current->Child(names[i]);
    if (!child) break;
    current = child;
  }
  // Creating a subkey is checked against the parent key, never the parent handle.
  if (i < names.size() && current->denyWrite) return plat::kErrorAccessDenied;
  for (; i < names.size(); ++i) current = current->AddChild(names[i]);
  std::uint32_t granted = 0;
  rc = current->Grant(kMaximumAllowed, &granted);
  if (rc != plat::kErrorSuccess) return rc;
  *result = NewHandle(current, granted);
  return plat::kErrorSuccess;
}

long MemoryRegistry::RegDeleteKeyA(HKey key, const char* subKey) {
  if (m_faults.ShouldFail("RegDeleteKeyA")) return plat::kErrorAccessDenied;
  if (!subKey) return plat::kErrorInvalidParameter;
  if (key == 0) return plat::kErrorInvalidHandle;
  Handle from;
  long rc = ResolveLive(key, &from);
  if (rc != plat::kErrorSuccess) return rc;
  std::vector<std::string> names;
  rc = SplitPath(subKey, &names);
  if (rc != plat::kErrorSuccess) return rc;
  std::shared_ptr<Key> target = from.key;
  for (const std::string& name : names) {
    target = target->Child(name);
    if (!target) return plat::kErrorFileNotFound;
  }
  // Windows opens the key for DELETE, then refuses a hive root or a key with subkeys.
  if (target->denyWrite || !target->parent || !target->subkeys.empty()) return plat::kErrorAccessDenied;
  target->Detach();
  return plat::kErrorSuccess;
}

long MemoryRegistry::RegSetValueExA(HKey key, const char* valueName, std::uint32_t /*reserved*/, std::uint32_t type,
                                    const std::uint8_t* data, std::uint32_t size) {
  if (m_faults.ShouldFail("RegSetValueExA")) return plat::kErrorAccessDenied;
  if (!data && size) return kErrorNoAccess;
  if (key == 0) return plat::kErrorInvalidHandle;
  Handle h;
  const long rc = ResolveLive(key, &h);
  if (rc != plat::kErrorSuccess) return rc;
  if (!(h.access & kKeySetValue)) return plat::kErrorAccessDenied;
  const std::string bytes = size ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
  h.key->SetValue(valueName ? valueName : "", Value{type, bytes});
  return plat::kErrorSuccess;
}

// --- Test side -----------------------------------------------------------------

long MemoryRegistry::ParseFullPath(const std::string& path, std::shared_ptr<Key>* hive,
                                   std::vector<std::string>* names) const {
  const std::size_t cut = path.find('\\');  // the hive name is ASCII and comes first
  const std::string hiveName = ansi::UpperAscii(std::string(path.substr(0, cut)));
  if (hiveName == "HKEY_LOCAL_MACHINE" || hiveName == "HKLM") {
    *hive = m_localMachine;
  } else if (hiveName == "HKEY_CURRENT_USER" || hiveName == "HKCU") {
    *hive = m_currentUser;
  } else {
    return plat::kErrorFileNotFound;
  }
  names->clear();
  return cut == std::string::npos ? plat::kErrorSuccess : SplitPath(path.c_str() + cut + 1, names);
}

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::FindPath(const std::string& path) const {
  std::shared_ptr<Key> key;
  std::vector<std::string> names;
  if (ParseFullPath(path, &key, &names) != plat::kErrorSuccess) return nullptr;
  for (const std::string& name : names) {
    key = key->Child(name);
    if (!key) return nullptr;
  }
  return key;
}

std::shared_ptr<MemoryRegistry::Key> MemoryRegistry::CreatePath(const std::string& path) {
  std::shared_ptr<Key> key;
  std::vector<std::string> names;
  if (ParseFullPath(path, &key, &names) != plat::kErrorSuccess) return nullptr;
  for (const std::string& name : names) {
    std::shared_ptr<Key> child = key->Child(name);
    key = child ? child : key->AddChild(name);
  }
  return key;
}

bool MemoryRegistry::CreateKey(const std::string& path) { return CreatePath(path) != nullptr; }

bool MemoryRegistry::KeyExists(const std::string& path) const { return FindPath(path) != nullptr; }

bool MemoryRegistry::SetValue(const std::string& keyPath, const std::string& valueName, std::uint32_t type,
                              const std::string& data) {
  const std::shared_ptr<Key> key = CreatePath(keyPath);
  if (!key) return false;
  key->SetValue(valueName, Value{type, data});
  return true;
}

bool MemoryRegistry::SetString(const std::string& keyPath, const std::string& valueName, const std::string& text,
                               std::uint32_t type) {
  return SetValue(keyPath, valueName, type, text + std::string(1, '\0'));
}

bool MemoryRegistry::SetDword(const std::string& keyPath, const std::string& valueName, std::uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return SetValue(keyPath, valueName, plat::kRegDword, bytes);
}

std::optional<MemoryRegistry::Value> MemoryRegistry::GetValue(const std::string& keyPath,
                                                              const std::string& valueName) const {
  const std::shared_ptr<Key> key = FindPath(keyPath);
  if (!key) return std::nullopt;
  const Key::NamedValue* found = key->FindValue(valueName);
  if (!found) return std::nullopt;
  return found->value;
}

std::optional<std::string> MemoryRegistry::GetString(const std::string& keyPath, const std::string& valueName) const {
  const std::optional<Value> value = GetValue(keyPath, valueName);
  if (!value) return std::nullopt;
  return value->data.substr(0, value->data.find('\0'));
}

bool MemoryRegistry::DeleteValue(const std::string& keyPath, const std::string& valueName) {
  const std::shared_ptr<Key> key = FindPath(keyPath);
  if (!key) return false;
  for (auto it = key->values.begin(); it != key->values.end(); ++it) {
    if (SameName(it->name, valueName)) {
      key->values.erase(it);
      return true;
    }
  }
  return false;
}

bool MemoryRegistry::DeleteTree(const std::string& path) {
  const std::shared_ptr<Key> key = FindPath(path);
  if (!key) return false;
  if (key->parent) {
    key->Detach();
  } else {
    for (auto& entry : key->subkeys) {
      entry.second->parent = nullptr;
      entry.second->MarkDeleted();
    }
    key->subkeys.clear();
    key->byIndexStale = true;
    key->values.clear();
  }
  return true;
}

std::vector<std::string> MemoryRegistry::SubKeyNames(const std::string& path) const {
  std::vector<std::string> names;
  if (const std::shared_ptr<Key> key = FindPath(path))
    for (const auto& entry : key->subkeys) names.push_back(entry.second->name);
  return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(const std::string& path) const {
  std::vector<std::string> names;
  if (const std::shared_ptr<Key> key = FindPath(path))
    for (const Key::NamedValue& v : key->values) names.push_back(v.name);
  return names;
}

bool MemoryRegistry::DenyAccess(const std::string& path, bool denyRead, bool denyWrite) {
  const std::shared_ptr<Key> key = FindPath(path);
  if (!key) return false;
  key->denyRead = denyRead;
  key->denyWrite = denyWrite;
  return true;
}

std::string MemoryRegistry::Export() const {
  std::string out;
  // Depth first, subkeys in enumeration order: the order regedit exports in.
  std::vector<std::pair<const Key*, std::string>> stack;
  stack.emplace_back(m_currentUser.get(), m_currentUser->name);
  stack.emplace_back(m_localMachine.get(), m_localMachine->name);
  while (!stack.empty()) {
    const auto [key, path] = stack.back();
    stack.pop_back();
    out += "[" + path + "]";
    if (key->denyRead) out += " ;deny read";
    if (key->denyWrite) out += " ;deny write";
    out += "\n";
    for (const Key::NamedValue& v : key->values)
      out += (v.name.empty() ? std::string("@") : "\"" + RenderName(v.name) + "\"") + "=" +
             RenderData(v.value.type, v.value.data) + "\n";
    for (auto it = key->subkeys.rbegin(); it != key->subkeys.rend(); ++it)
      stack.emplace_back(it->second.get(), path + "\\" + RenderName(it->second->name));
  }
  return out;
}

}  // namespace mem
