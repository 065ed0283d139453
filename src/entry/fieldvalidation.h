#pragma once

#include "fieldcatalogue.h"

#include <QString>

// What leaving a text field does to its text: amounts come back in currency form, rates and
// ages stay as typed, and an entry that is not a number is replaced by "0" with the group's
// message.
struct FieldValidation {
    bool accepted;
    QString text; // the field's new text
    QString message; // shown when not accepted
};

FieldValidation validateFieldText(FieldCatalogue::Group group, const QString& text);
