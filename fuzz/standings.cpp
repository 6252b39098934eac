// The standings reader over arbitrary bytes.
#include "data/data.h"
#include "fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HWND window = fuzz::Window();
    std::u16string path = fuzz::WriteInput(data, size);
    LoadStandings(window, path.c_str());
    return 0;
}
