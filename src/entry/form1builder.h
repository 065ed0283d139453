#pragma once

#include "fieldcatalogue.h"

class Form1;
class QWidget;

// Puts the main window's controls in place from the field catalogue: buttons, viewport,
// scroll bar, panel, frames, labels, headings with their brackets, boxes, date pickers,
// placeholder slots and the tab order.
class Form1Builder final {
public:
    explicit Form1Builder(Form1& form);

    void build();
    // Fits the buttons, the viewport and its scroll bar to the window's present size.
    void arrange();

private:
    void window();
    void frames();
    void fields();
    void headings();
    void bracket(QWidget* frame, const FieldCatalogue::Frame& design,
        const FieldCatalogue::Heading& heading, int headingLeft, int headingTop);
    void placeholders();
    void tabOrder();

    Form1& mForm;
};
