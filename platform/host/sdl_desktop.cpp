#include "platform/host/sdl_desktop.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace desktop {

namespace {

std::atomic<Uint32> wakeEvent{0};

} // namespace

int DesktopScale() {
    const char* text = std::getenv("TARNWICK_SCALE");
    if (!text || !*text)
        return 2;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (*end || v < 1 || v > 8)
        return 2;
    return static_cast<int>(v);
}

SdlDesktop::~SdlDesktop() {
    Close();
}

bool SdlDesktop::Open(int width, int height, int scale, std::string* error) {
    width_ = width;
    height_ = height;
    scale_ = scale;
    // The stylus has one button; SDL must not invent mouse events from touches or the
    // reverse twice over.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "1");
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    // A signal ends the program as it would any other; closing the window is the user's
    // quit, which SDL reports as the window's close event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window surface is the driver's own framebuffer; left alone, SDL would put a GL
    // renderer behind it (slow to start, heavy, and it can stall the offscreen driver).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *error = SDL_GetError();
        return false;
    }
    Uint32 type = SDL_RegisterEvents(1);
    if (type != static_cast<Uint32>(-1))
        wakeEvent = type;
    window_ =
        SDL_CreateWindow(title_.empty() ? "Tarnwick" : title_.c_str(), SDL_WINDOWPOS_UNDEFINED,
                         SDL_WINDOWPOS_UNDEFINED, width * scale, height * scale, SDL_WINDOW_SHOWN);
    if (!window_) {
        *error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    waitCursor_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    // The offscreen and dummy drivers have no input and no way to sleep until some comes
    // (SDL would poll every millisecond), so waiting is left to the window system there.
    const char* driver = SDL_GetCurrentVideoDriver();
    realDisplay_ =
        driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
    return true;
}

void SdlDesktop::Close() {
    if (!window_)
        return;
    wakeEvent = 0;
    if (waitCursor_)
        SDL_FreeCursor(waitCursor_);
    waitCursor_ = nullptr;
    SDL_DestroyWindow(window_);
    window_ = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void SdlDesktop::Present(const uint32_t* pixels, int width, int height) {
    if (!window_ || !pixels)
        return;
    SDL_Surface* out = SDL_GetWindowSurface(window_);
    if (!out)
        return;
    int s = scale_;
    int w = std::min(width, out->w / s);
    int h = std::min(height, out->h / s);
    Uint32 f = out->format->format;
    if (f == SDL_PIXELFORMAT_RGB888 || f == SDL_PIXELFORMAT_ARGB8888) {
        // The screen's own layout: a whole-factor nearest-neighbour copy, row by row.
        if (SDL_MUSTLOCK(out))
            SDL_LockSurface(out);
        for (int y = 0; y < h; ++y) {
            const uint32_t* src = pixels + static_cast<size_t>(y) * width;
            auto* first = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(out->pixels) +
                                                      static_cast<size_t>(y) * s * out->pitch);
            for (int x = 0; x < w; ++x)
                for (int k = 0; k < s; ++k)
                    first[x * s + k] = src[x] | 0xFF000000u;
            for (int k = 1; k < s; ++k)
                std::memcpy(static_cast<uint8_t*>(static_cast<void*>(first)) + k * out->pitch,
                            first, static_cast<size_t>(w) * s * 4);
        }
        if (SDL_MUSTLOCK(out))
            SDL_UnlockSurface(out);
    } else {
        // Any other window format: let SDL convert while it scales (also nearest).
        SDL_Surface* in = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint32_t*>(pixels), width, height, 32, width * 4, SDL_PIXELFORMAT_RGB888);
        if (!in)
            return;
        SDL_SetSurfaceBlendMode(in, SDL_BLENDMODE_NONE);
        SDL_Rect dst{0, 0, width * s, height * s};
        SDL_BlitScaled(in, nullptr, out, &dst);
        SDL_FreeSurface(in);
    }
    SDL_UpdateWindowSurface(window_);
}

void SdlDesktop::SetTitle(const std::string& utf8) {
    if (utf8 == title_)
        return;
    title_ = utf8;
    if (window_)
        SDL_SetWindowTitle(window_, title_.empty() ? "Tarnwick" : title_.c_str());
}

void SdlDesktop::SetWaitCursor(bool wait) {
    if (!window_)
        return;
    if (wait && waitCursor_)
        SDL_SetCursor(waitCursor_);
    else
        SDL_SetCursor(SDL_GetDefaultCursor());
}

void SdlDesktop::Raise() {
    if (!window_)
        return;
    SDL_RestoreWindow(window_);
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
}

void SdlDesktop::ToDevice(int wx, int wy, int* x, int* y) const {
    *x = std::clamp(wx / scale_, 0, width_ - 1);
    *y = std::clamp(wy / scale_, 0, height_ - 1);
}

void SdlDesktop::Handle(const SDL_Event& e, DesktopEvents* events) {
    int x, y;
    switch (e.type) {
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button != SDL_BUTTON_LEFT || stylusDown_)
                break;
            stylusDown_ = true;
            ToDevice(e.button.x, e.button.y, &x, &y);
            events->StylusDown(x, y);
            break;
        case SDL_MOUSEMOTION:
            // The stylus does not hover: only a pressed stylus moves.
            if (!stylusDown_)
                break;
            ToDevice(e.motion.x, e.motion.y, &x, &y);
            events->StylusMove(x, y);
            break;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button != SDL_BUTTON_LEFT || !stylusDown_)
                break;
            stylusDown_ = false;
            ToDevice(e.button.x, e.button.y, &x, &y);
            events->StylusUp(x, y);
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE)
                events->CloseRequested();
            else if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
                     e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                     e.window.event == SDL_WINDOWEVENT_RESTORED)
                events->Exposed();
            break;
        default: break;
    }
}

void SdlDesktop::Wait(int timeoutMs, DesktopEvents* events) {
    if (!window_)
        return;
    SDL_Event e;
    int got = timeoutMs < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeoutMs);
    while (got) {
        Handle(e, events);
        got = SDL_PollEvent(&e);
    }
}

void SdlDesktop::Wake() {
    Uint32 type = wakeEvent;
    if (type) {
        SDL_Event e{};
        e.type = type;
        SDL_PushEvent(&e);
    }
}

} // namespace desktop
