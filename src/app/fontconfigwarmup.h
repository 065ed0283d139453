#pragma once

#include <thread>

// Reads the system's font configuration (fontconfig's own start, several milliseconds of XML and
// cache files) on a second processor while the program connects to the display. The first text
// measured would otherwise read it then, in front of the main window's first paint.
class FontConfigWarmUp final {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    // Set by a launcher that shows the program starting; taken out of the environment by the
    // connection to the display while the reading may be looking its own variables up there.
    static constexpr const char* startIdVariable = "DESKTOP_STARTUP_ID";

    // Waits until the configuration is read. Called before the first text is measured: two
    // readings at once would each do the whole work.
    void finish();

private:
    std::thread mReading;
};
