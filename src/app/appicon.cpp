#include "appicon.h"

#include "deferredicon.h"

#include <QFile>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icons);
}

QIcon programIcon()
{
    static const bool registered = (registerIconResource(), true);
    Q_UNUSED(registered);
    // Drawing the SVG loads Qt's SVG icon plugin; a window given the icon asks at once whether
    // there is one, which the drawing in the program's resources answers.
    return deferredIcon(
        QStringLiteral("ferrowynd-program-icon"), [] { return QIcon(programIconResource); },
        [] { return QFile::exists(programIconResource); });
}
