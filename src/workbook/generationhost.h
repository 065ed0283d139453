#pragma once

#include <QDate>
#include <QImage>
#include <QString>
#include <optional>

// What the generation run needs from the windows: the main window's fields and pointer, and the
// preview window it hands the result to.
class GenerationHost {
public:
    virtual ~GenerationHost() = default;

    // The text of array(index) exactly as displayed; throws AppError when there is no such
    // element.
    virtual QString fieldText(const QString& array, int index) const = 0;
    // A date picker's value; no value when it holds no date. Throws AppError for an unknown name.
    virtual std::optional<QDate> pickerValue(const QString& picker) const = 0;

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
