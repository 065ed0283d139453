#include "fontconfigurationwarmup.h"

#include <QByteArray>
#include <fontconfig/fontconfig.h>

namespace {

// The application's connection to the display takes a launcher's start id out of the
// environment while the reading may be looking its own variables up there. Removing the last
// variable moves no other one, so the id goes to the end before the reading starts.
void moveStartIdToTheEnd()
{
    const char* const name = FontConfigurationWarmUp::startIdVariable;
    const QByteArray id = qgetenv(name);
    if (id.isNull())
        return;
    qunsetenv(name);
    qputenv(name, id);
}

} // namespace

FontConfigurationWarmUp::FontConfigurationWarmUp()
{
    moveStartIdToTheEnd();
    // mRead is written by the thread alone until the join, which orders it before any read.
    mThread = std::thread([this] { mRead = FcInit() == FcTrue; });
}

FontConfigurationWarmUp::~FontConfigurationWarmUp()
{
    wait();
}

bool FontConfigurationWarmUp::wait()
{
    if (mThread.joinable())
        mThread.join();
    return mRead;
}
