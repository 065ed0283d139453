#include "clipboardpicturesource.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

// Reading leaves the picture on the clipboard: the user may paste the sheet afterwards.
class SystemClipboard final : public ClipboardPictureSource {
public:
    QImage read(int) override
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        return clipboard ? clipboard->image() : QImage();
    }
};

ClipboardPictureSource* installed = nullptr;

} // namespace

ClipboardPictureSource& ClipboardPictureSource::current()
{
    static SystemClipboard system;
    return installed ? *installed : system;
}

void ClipboardPictureSource::install(ClipboardPictureSource* source)
{
    installed = source;
}
