#pragma once

#include <QString>
#include <functional>

class ErrorTrap;
class QImage;
class QWidget;

// "Save Results To Excel File": asks for a target through the dialog seam, asks before
// replacing a file there, copies the result workbook and says "Done.". The steps report under
// the trap's procedure.
void saveWorkbookAs(ErrorTrap& trap, QWidget* parent, const QString& workbook);

// "Save Picture As…": asks for a PNG target, asks before replacing a file there, and writes the
// picture, which is only drawn once the target is settled.
void savePictureAs(ErrorTrap& trap, QWidget* parent, const std::function<QImage()>& picture);
