#pragma once

#include "planfile.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Which plan the window's fields belong to, the plans opened lately, and what the title says.
// Kept in a group of the settings file of its own, apart from the household's inputs.
class PlanSession final {
public:
    static constexpr int recentLimit = 8;
    static const QString section;

    // What the settings file remembers; the plan's inputs are not read from its file.
    static PlanSession remembered();
    // Throws AppError when the settings file cannot be written.
    void remember() const;

    bool hasPlan() const { return !mPlan.path.isEmpty(); }
    QString currentPath() const { return mPlan.path; }
    // The plan as its file holds it.
    const Plan& plan() const { return mPlan; }

    // The fields now belong to this plan, just read from or written to its file; it leads the
    // recent list.
    void setCurrent(const Plan& plan);
    // The fields belong to no plan.
    void clearCurrent();
    // Takes a file off the recent list.
    void forget(const QString& path);
    // Most recent first.
    QStringList recent() const { return mRecent; }

    // True when the fields hold something that the current plan's file does not: with no plan,
    // anything but the first-start values.
    bool differs(const QHash<QString, QString>& fields) const;
    // "Retire at 62* — Ferrowynd" with a plan whose file differs from the fields; the program's
    // name alone without a plan.
    QString title(const QHash<QString, QString>& fields) const;

private:
    Plan mPlan;
    QStringList mRecent;
};
