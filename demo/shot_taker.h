// Screenshots for the headless demo. scripts/capture-shots.sh watches the
// folder named by VORN_SHOTS_DIR: for each shot the demo writes
// "<name>.ready" holding the window's rectangle and waits until the script
// has captured the screen and removed the file.
#pragma once

#include <windows.h>

#include <string>

// UTF-8 copy of a wide text, for printing.
std::string Narrow(const std::wstring& text);

class ShotTaker {
  public:
    ShotTaker(); // reads VORN_SHOTS_DIR; shots are off when it is unset
    bool Enabled() const { return !folder_.empty(); }
    const std::wstring& UnixFolder() const { return unixFolder_; }

    // Brings `window` to the front, lets it paint and has it photographed
    // as "<name>.png"; prints where the shot went.
    void Take(HWND window, const wchar_t* name);

  private:
    std::wstring folder_;
    std::wstring unixFolder_;
};
