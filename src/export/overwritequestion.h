#pragma once

#include <QString>

class QWidget;

// The program's own question before a save replaces a file: true when the target is not there
// yet or the user answered Yes.
bool mayWriteTo(QWidget* parent, const QString& target);
