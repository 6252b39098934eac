// What the readers' fuzz targets share: a window with the lists they fill, and the input
// written to a file that the reader then opens by its path.
#pragma once

#include "tests/support/loader_window.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace fuzz {

inline HWND Window() {
    static HWND window = loaders::MakeLoaderWindow();
    return window;
}

// The input as a file of its own, named once per process.
inline std::u16string WriteInput(const uint8_t* data, size_t size) {
    static std::string path = "/tmp/tw-fuzz-" + std::to_string(getpid()) + ".dat";
    FILE* file = fopen(path.c_str(), "wb");
    if (file) {
        fwrite(data, 1, size, file);
        fclose(file);
    }
    return std::u16string(path.begin(), path.end());
}

} // namespace fuzz
