#include "fontconfigwarmup.h"

#include <QByteArray>
#include <fontconfig/fontconfig.h>

namespace {

// Removing a variable from the environment moves every one after it, under the feet of a reader
// on another thread; removing the last one moves none. So the start id goes to the end first.
void moveStartIdToTheEnd()
{
    const char* const name = FontConfigWarmUp::startIdVariable;
    const QByteArray id = qgetenv(name);
    if (id.isNull())
        return;
    qunsetenv(name);
    qputenv(name, id);
}

} // namespace

FontConfigWarmUp::FontConfigWarmUp()
{
    moveStartIdToTheEnd();
    mReading = std::thread([] { FcInit(); });
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    finish();
}

void FontConfigWarmUp::finish()
{
    if (mReading.joinable())
        mReading.join();
}
