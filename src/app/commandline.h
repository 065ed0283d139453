#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Answers --help and --version on standard output before any window or office starts. Returns
// the exit status when the program ends there, or nothing when it goes on. Options meant for Qt
// itself (-platform, -style, ...) pass untouched. moreHelp, when given, follows the options in
// the help: the options that other parts of the program answer.
std::optional<int> answerCommandLine(const QStringList& arguments,
    const std::function<QString()>& officeProgram, const QString& moreHelp = QString());

// The first argument that is no option and names a file ending in ".suffix" (the file the desktop
// hands over), or the empty text. Qt's options are gone from the arguments by the time the
// application object exists.
QString fileArgument(const QStringList& arguments, const QString& suffix);
