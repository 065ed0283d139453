#pragma once

#include <QString>
#include <functional>

// Runs an event procedure's numbered steps. A step that throws is reported with the procedure's
// name and the step's line, and the procedure goes on with its next step.
class ErrorTrap final {
public:
    explicit ErrorTrap(QString procedure);

    // Returns true when the step finished without an error.
    bool step(int line, const std::function<void()>& body);

    QString procedure() const { return mProcedure; }
    int failures() const { return mFailures; }

private:
    QString mProcedure;
    int mFailures = 0;
};

// The readable description of whatever a step threw.
QString describeCurrentException();
