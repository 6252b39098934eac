// Any bytes as a registry file: reading never fails unsafely, and whatever reads as a
// registry is written back in a form that reads as the very same registry.
#include "platform/registry/regfile.h"

#include <cstdlib>

static bool Same(const regfile::Document& a, const regfile::Document& b) {
    if (a.keys.size() != b.keys.size())
        return false;
    for (const regfile::Key& ka : a.keys) {
        const regfile::Key* kb = nullptr;
        for (const regfile::Key& k : b.keys)
            if (k.path == ka.path)
                kb = &k;
        if (!kb || kb->values.size() != ka.values.size())
            return false;
        for (size_t i = 0; i < ka.values.size(); ++i) {
            const regfile::Value& x = ka.values[i];
            const regfile::Value& y = kb->values[i];
            if (x.name != y.name || x.type != y.type || x.data != y.data)
                return false;
        }
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes((const char*)data, size);
    regfile::Document doc;
    if (!regfile::Parse(bytes, &doc))
        return 0;
    std::string text = regfile::Serialize(doc);
    regfile::Document again;
    if (!regfile::Parse(text, &again) || !Same(doc, again) || regfile::Serialize(again) != text)
        abort();
    return 0;
}
