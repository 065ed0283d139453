#pragma once

// The start check (module IsInstalled): true when an instance of the spreadsheet application
// can be created; that instance is ended at once. Otherwise the user is told what is missing
// and false is returned: the caller ends the program.
bool CheckExcelInstance();
