// Resources: module instances over tables of resources, and loading them by number.
#include "platform/user/internal.h"

#include <cstring>
#include <map>
#include <mutex>

namespace tw_user {

struct Module {
    const RESOURCEENTRY* entries;
    int count;
};
static std::vector<Module>& Modules() {
    static auto* m = new std::vector<Module>;
    return *m;
}
static std::mutex gModulesMutex;

static const Module* ModuleOf(HINSTANCE instance) {
    uintptr_t i = reinterpret_cast<uintptr_t>(instance);
    std::lock_guard<std::mutex> lock(gModulesMutex);
    if (i == 0 || i > Modules().size())
        return nullptr;
    return &Modules()[i - 1];
}

static const RESOURCEENTRY* FindEntry(HINSTANCE instance, LPCWSTR name, LPCWSTR type) {
    const Module* m = ModuleOf(instance);
    if (!m || !name || !IS_INTRESOURCE(name) || !type || !IS_INTRESOURCE(type))
        return nullptr;
    WORD id = WORD(reinterpret_cast<uintptr_t>(name));
    for (int i = 0; i < m->count; ++i) {
        const RESOURCEENTRY& e = m->entries[i];
        if (e.id == id && e.type == type && e.data)
            return &e;
    }
    return nullptr;
}

const void* FindResourceData(HINSTANCE instance, WORD id, LPCWSTR type) {
    const RESOURCEENTRY* e = FindEntry(instance, MAKEINTRESOURCEW(id), type);
    return e ? e->data : nullptr;
}

} // namespace tw_user

using namespace tw_user;

HINSTANCE CreateModuleInstance(const RESOURCEENTRY* entries, int count) {
    if (count < 0 || (count > 0 && !entries))
        return nullptr;
    std::lock_guard<std::mutex> lock(gModulesMutex);
    Modules().push_back(Module{entries, count});
    return reinterpret_cast<HINSTANCE>(uintptr_t(Modules().size()));
}

HRSRC FindResourceW(HINSTANCE instance, LPCWSTR name, LPCWSTR type) {
    const RESOURCEENTRY* e = FindEntry(instance, name, type);
    if (!e)
        SetLastError(1814); // no such resource
    return reinterpret_cast<HRSRC>(const_cast<RESOURCEENTRY*>(e));
}

HGLOBAL LoadResource(HINSTANCE instance, HRSRC res) {
    (void)instance;
    if (!res)
        return nullptr;
    return const_cast<void*>(reinterpret_cast<const RESOURCEENTRY*>(res)->data);
}

LPVOID LockResource(HGLOBAL data) {
    return data;
}

static HBITMAP DrawPicture(const BITMAPRESOURCE* pic) {
    if (!pic || pic->width <= 0 || pic->height <= 0)
        return nullptr;
    HBITMAP bmp = CreateBitmap32(pic->width, pic->height);
    if (!bmp)
        return nullptr;
    if (pic->draw) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bmp);
        pic->draw(dc, pic->width, pic->height);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    return bmp;
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    auto* pic = static_cast<const BITMAPRESOURCE*>(
        IS_INTRESOURCE(name)
            ? FindResourceData(instance, WORD(reinterpret_cast<uintptr_t>(name)), RT_BITMAP)
            : nullptr);
    return DrawPicture(pic);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (!IS_INTRESOURCE(name))
        return nullptr;
    WORD id = WORD(reinterpret_cast<uintptr_t>(name));
    auto* pic = static_cast<const ICONRESOURCE*>(FindResourceData(instance, id, RT_ICON));
    if (!pic)
        return nullptr;
    // Icons are shared: one per module and number for the life of the process.
    static auto* icons = new std::map<std::pair<HINSTANCE, WORD>, HICON>;
    auto key = std::make_pair(instance, id);
    auto it = icons->find(key);
    if (it != icons->end())
        return it->second;
    HBITMAP bmp = DrawPicture(pic);
    HICON icon = bmp ? CreateIconFromBitmap(bmp) : nullptr;
    if (bmp)
        DeleteObject(bmp);
    if (icon)
        SetIconShared(icon);
    (*icons)[key] = icon;
    return icon;
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int cap) {
    if (!buffer || cap <= 0)
        return 0;
    buffer[0] = 0;
    auto* s = static_cast<const STRINGRESOURCE*>(FindResourceData(instance, WORD(id), RT_STRING));
    if (!s || !s->text)
        return 0;
    std::u16string t = s->text;
    size_t n = std::min(t.size(), size_t(cap - 1));
    std::memcpy(buffer, t.data(), n * sizeof(WCHAR));
    buffer[n] = 0;
    return int(n);
}
