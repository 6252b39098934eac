// The registry file's contents in memory, and its text form (a registry export).
#pragma once

#include "platform/registry/registry.h"

#include <string>
#include <vector>

namespace regfile {

struct Value {
    std::u16string name; // empty for the key's default value ("@")
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct Key {
    std::u16string path; // full path with its root, as written: HKEY_LOCAL_MACHINE\...
    std::vector<Value> values;
};

struct Document {
    std::vector<Key> keys;
};

// Names of keys and values compare without regard to letter case.
bool SameName(const std::u16string& a, const std::u16string& b);

// Parses the bytes of a registry file (UTF-16LE with a byte-order mark, or UTF-8 with or
// without one; CRLF or LF). False when the text is not a complete registry export.
bool Parse(const std::string& bytes, Document* doc);
// The text of the file, UTF-8, keys in tree order.
std::string Serialize(const Document& doc);

Key* FindKey(Document& doc, const std::u16string& path);
Value* FindValue(Key& key, const std::u16string& name);

} // namespace regfile
