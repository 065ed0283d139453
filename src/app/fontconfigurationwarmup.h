#pragma once

#include <thread>

// Reads the system's font configuration (fontconfig's start: its files and font caches) on a
// thread of its own while the caller goes on, until wait() or the end of this object. The first
// text the program measures waits for that reading otherwise: started before the application
// object, it runs on the second processor while the application connects to the display.
class FontConfigurationWarmUp final {
public:
    FontConfigurationWarmUp();
    ~FontConfigurationWarmUp();
    FontConfigurationWarmUp(const FontConfigurationWarmUp&) = delete;
    FontConfigurationWarmUp& operator=(const FontConfigurationWarmUp&) = delete;

    // Set by a launcher that shows the program starting; read and removed by the connection to
    // the display, and left at the end of the environment by this object.
    static constexpr const char* startIdVariable = "DESKTOP_STARTUP_ID";

    // Waits until the reading has ended; true when the configuration could be read. Later calls
    // give the same answer at once.
    bool wait();

private:
    bool mRead = false;
    std::thread mThread;
};
