#pragma once

#include "templatefields.h"

#include <QImage>

// What the generation run needs from the windows: the main window's fields (the template's
// figures) and pointer, and the preview window it hands the result to.
class GenerationHost : public TemplateFields {
public:
    // Window updates of the main window held back (true) or let through again (false).
    virtual void setUpdatesLocked(bool locked) = 0;
    // The hourglass (true) or the default pointer (false) over the main window.
    virtual void setBusyPointer(bool busy) = 0;

    // Creates the preview window when there is none yet; its load step runs then.
    virtual void ensurePreview() = 0;
    virtual void setPreviewPicture(const QImage& picture) = 0;
    virtual void setPreviewExcelFile(const QString& path) = 0;
    virtual void showPreview() = 0;
    virtual void hideMainWindow() = 0;
};
