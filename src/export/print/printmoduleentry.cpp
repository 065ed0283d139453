#include "app/printmodule.h"
#include "cupsjob.h"
#include "printdialog.h"

extern "C" __attribute__((visibility("default"))) const PrintModule* ferrowynd_print_module()
{
    static const PrintModule module { choosePrint, submitCupsJob };
    return &module;
}
