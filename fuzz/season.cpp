// The season reader over arbitrary bytes.
#include "data/data.h"
#include "fuzz/reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HWND window = fuzz::Window();
    std::u16string path = fuzz::WriteInput(data, size);
    LoadSeason(window, path.c_str());
    // The season lists are never emptied by the reader; start each input afresh.
    SendDlgItemMessageW(window, IDC_SEASON_TABLE, LVM_DELETEALLITEMS, 0, 0);
    SendDlgItemMessageW(window, IDC_SEASON_LIST, LVM_DELETEALLITEMS, 0, 0);
    return 0;
}
