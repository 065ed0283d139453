#include "fontconfigwarmup.h"

#include <fontconfig/fontconfig.h>

FontConfigWarmUp::FontConfigWarmUp()
    : mReading([] { FcInit(); })
{
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
