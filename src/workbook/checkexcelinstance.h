#pragma once

class SpreadsheetOffice;

// The start check (module IsInstalled): true when the office can be started; it is started ahead
// and answers in the background. Otherwise, now or once the office fails to come up, the user is
// told what is missing: false is returned now, and later the program's event loop ends with
// status 1. A run waits for the answer (SpreadsheetOffice::awaitStart) before it begins.
bool CheckExcelInstance(SpreadsheetOffice& office);
