#pragma once

#include <QPalette>
#include <QPointer>
#include <QWidget>
#include <vector>

// Dresses the main window for its skin: the window and its plain controls (frames, labels,
// picture boxes, check and option boxes) take the button-face colour so they blend with the
// skin, and the button text's colour for what is drawn on them, lines included; text boxes,
// buttons, scroll bars, date pickers and the rest keep their colours, also where they would
// otherwise inherit their container's new ones. It remembers what it changed, so a skin that
// then fails to load leaves the window as designed.
class SkinRecolouring final {
public:
    void recolour(QWidget& window);
    void undo();

    static bool takesButtonFace(const QWidget& control);

private:
    struct Saved {
        QPointer<QWidget> widget;
        QPalette palette;
        bool ownPalette;
        bool autoFill;
    };

    // The controls of a container in the window's order, with those of the frames and picture
    // boxes inside it.
    static void collect(QWidget& container, std::vector<QWidget*>& controls);

    std::vector<Saved> mSaved;
};
