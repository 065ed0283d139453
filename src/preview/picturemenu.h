#pragma once

#include <functional>

class Form2;

// What the picture's context menu runs.
struct PictureMenuCommands {
    std::function<void()> zoomIn;
    std::function<void()> zoomOut;
    std::function<void()> actualSize;
    std::function<void()> copyPicture;
    std::function<void()> savePictureAs;
};

// Builds Form2's PictureMenu: the zoom entries, "Copy Picture" and "Save Picture As…", then the
// export entries; a right-click on the picture opens it, and the window carries its keys.
void buildPictureMenu(Form2& form, const PictureMenuCommands& commands);
