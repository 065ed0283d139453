#include "appicon.h"

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icons);
}

QIcon programIcon()
{
    static const bool registered = (registerIconResource(), true);
    Q_UNUSED(registered);
    return QIcon(programIconResource);
}
