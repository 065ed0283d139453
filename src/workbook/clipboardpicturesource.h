#pragma once

#include <QImage>

// The one door to reading a picture from the system clipboard, so tests can count the reads.
class ClipboardPictureSource {
public:
    virtual ~ClipboardPictureSource() = default;

    // The clipboard's picture in the given format (0: any); a null image when there is none.
    virtual QImage read(int format) = 0;

    static ClipboardPictureSource& current();
    // Installs a replacement (not owned); nullptr restores the system clipboard.
    static void install(ClipboardPictureSource* source);
};
