#include "appicon.h"

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

constexpr int startIconSize = 48;

} // namespace

QIcon programIcon()
{
    static const bool registered = (registerIconResource(), true);
    Q_UNUSED(registered);
    return QIcon(programIconResource);
}

QIcon programStartIcon()
{
    return QIcon(programIcon().pixmap(startIconSize));
}
