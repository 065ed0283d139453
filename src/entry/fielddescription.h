#pragma once

#include "fieldcatalogue.h"

// What a screen reader and a tooltip say about a field: a name unique across the window, the
// kind of figure it takes, and the template's own guidance on it.
namespace FieldDescription {

// The label, qualified by the heading it stands under, or by its frame's title where the label
// alone is shared with another field; a number tells apart fields that still share a name.
QString accessibleName(const FieldCatalogue::Field& field);
// The kind of figure (for a date, how to type it), then the guidance with the line breaks of
// the template's comment.
QString accessibleDescription(const FieldCatalogue::Field& field);
// The guidance, then for a date how to type it; long lines broken so that the tooltip stays
// narrow.
QString toolTip(const FieldCatalogue::Field& field);
// The comment that the template carries on a cell; empty when it carries none.
QString guidance(const QString& cell);

} // namespace FieldDescription
