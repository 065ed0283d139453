#pragma once

#include <QStringList>
#include <optional>

// Runs plans without a window: --plan and --compare (see planUsage()). main() calls this with a
// QCoreApplication and before any QApplication exists: nothing here needs a display. Returns
// nothing when the arguments name no plan work, else the exit status: 0 when every plan
// succeeded, 1 when one failed, 2 for a usage error, 128 + the signal that stopped the batch.
std::optional<int> runPlanCommandLine(const QStringList& arguments);
