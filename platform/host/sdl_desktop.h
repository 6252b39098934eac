// The desktop window: an SDL2 window that shows the device's 240 x 320 screen scaled up by
// a whole factor (nearest neighbour, so pixels stay crisp) through the window surface, and
// turns the mouse into the stylus. With SDL_VIDEODRIVER=offscreen or dummy there is no
// display and everything else works the same.
#pragma once

#include <cstdint>
#include <string>

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

namespace desktop {

// What the desktop window reports, on the UI thread, in device coordinates.
struct DesktopEvents {
    virtual ~DesktopEvents() = default;
    virtual void StylusDown(int x, int y) = 0;
    virtual void StylusMove(int x, int y) = 0;
    virtual void StylusUp(int x, int y) = 0;
    virtual void CloseRequested() = 0; // the user closed the desktop window
    virtual void Exposed() = 0;        // the window needs the screen shown again
};

// TARNWICK_SCALE (1 to 8), else 2.
int DesktopScale();

class SdlDesktop {
  public:
    ~SdlDesktop();
    // Opens the window at width x height device pixels times scale.
    bool Open(int width, int height, int scale, std::string* error);
    bool IsOpen() const { return window_ != nullptr; }
    // Whether input can arrive at all: a window on a real display, not offscreen.
    bool WaitsForInput() const { return window_ != nullptr && realDisplay_; }
    // Shows the screen (0x00RRGGBB rows of width pixels).
    void Present(const uint32_t* pixels, int width, int height);
    void SetTitle(const std::string& utf8);
    void SetWaitCursor(bool wait);
    void Raise();
    // Waits up to timeoutMs (< 0: until something happens) for input or a Wake, then
    // handles every event that is queued. Only for a window that WaitsForInput.
    void Wait(int timeoutMs, DesktopEvents* events);
    // Any thread: ends a Wait that is in progress (or the next one) at once.
    static void Wake();
    void Close();

    // Device coordinates of a point in the window (clamped to the screen).
    void ToDevice(int wx, int wy, int* x, int* y) const;

  private:
    void Handle(const SDL_Event& e, DesktopEvents* events);

    SDL_Window* window_ = nullptr;
    SDL_Cursor* waitCursor_ = nullptr;
    int width_ = 0, height_ = 0, scale_ = 1;
    bool stylusDown_ = false;
    bool realDisplay_ = false;
    std::string title_;
};

} // namespace desktop
