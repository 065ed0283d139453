#pragma once

// Settings of the whole process, made once at start before any office or window.
void applyProcessSettings();
