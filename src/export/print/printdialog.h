#pragma once

#include "app/dialogs.h"

// The system's print dialog behind Dialogs::print() of the real dialogs.
std::optional<Dialogs::PrintChoice> choosePrint(
    QWidget* parent, const QString& documentName, const QString& proposedFile);
