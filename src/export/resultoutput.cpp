#include "resultoutput.h"

namespace {
ResultOutput* current = nullptr;
}

ResultOutput* ResultOutput::installed()
{
    return current;
}

void ResultOutput::install(ResultOutput* output)
{
    current = output;
}
