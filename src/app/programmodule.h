#pragma once

// The parts of the program that need large libraries (the office's UNO bridge, printing with
// CUPS, the PDF renderer) live in shared modules that are loaded when first needed: the program
// starts and shows its window without loading those libraries.
//
// A module lib<name>.so sits in the program's module folder, FERROWYND_MODULE_FOLDER relative to
// the program's own folder (the installed layout, which the build tree repeats), or else where
// the calling executable's library search path leads (the tests). It exports one C function,
// `entry`, that returns the module's table of functions.

// The module's entry function, loaded once and kept for the life of the process. AppError naming
// the module and the reason when it cannot be found or loaded, or lacks the entry.
void* programModuleEntry(const char* name, const char* entry);

// The table of functions the module's entry returns.
template <class Table> const Table& loadProgramModule(const char* name, const char* entry)
{
    using Entry = const Table* (*)();
    return *reinterpret_cast<Entry>(programModuleEntry(name, entry))();
}
