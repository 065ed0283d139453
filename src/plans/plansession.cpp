#include "plansession.h"

#include "app/product.h"
#include "app/settingsfile.h"

#include <QFileInfo>

const QString PlanSession::section = QStringLiteral("Plans");

namespace {

const QString currentKey = QStringLiteral("Current");

QString recentKey(int position)
{
    return QStringLiteral("Recent%1").arg(position + 1);
}

QString absolute(const QString& path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

// A text box left empty shows, and runs as, its first-start text.
QString asShown(const QString& key, const QString& text, const QHash<QString, QString>& firstStart)
{
    return text.isEmpty() ? firstStart.value(key) : text;
}

} // namespace

PlanSession PlanSession::remembered()
{
    PlanSession session;
    // Read at start: one opening of the settings file for all of them.
    const SettingsFile::ReadBatch batch;
    session.mPlan.path = absolute(SettingsFile::readIn(section, currentKey));
    for (int position = 0; position < recentLimit; ++position) {
        const QString path = absolute(SettingsFile::readIn(section, recentKey(position)));
        if (!path.isEmpty() && !session.mRecent.contains(path))
            session.mRecent.append(path);
    }
    return session;
}

void PlanSession::remember() const
{
    QHash<QString, QString> values { { currentKey, mPlan.path } };
    // Every place is written: one emptied since goes out of the list.
    for (int position = 0; position < recentLimit; ++position)
        values.insert(recentKey(position), mRecent.value(position));
    SettingsFile::writeIn(section, values);
}

void PlanSession::setCurrent(const Plan& plan)
{
    mPlan = plan;
    mPlan.path = absolute(plan.path);
    mRecent.removeAll(mPlan.path);
    mRecent.prepend(mPlan.path);
    while (mRecent.size() > recentLimit)
        mRecent.removeLast();
}

void PlanSession::clearCurrent()
{
    mPlan = Plan();
}

void PlanSession::forget(const QString& path)
{
    mRecent.removeAll(absolute(path));
}

bool PlanSession::differs(const QHash<QString, QString>& fields) const
{
    const QHash<QString, QString> firstStart = PlanFile::firstStartInputs();
    const QHash<QString, QString>& saved = hasPlan() ? mPlan.inputs : firstStart;
    for (const QString& key : PlanFile::inputKeys()) {
        if (asShown(key, fields.value(key), firstStart)
            != asShown(key, saved.value(key), firstStart))
            return true;
    }
    return false;
}

QString PlanSession::title(const QHash<QString, QString>& fields) const
{
    if (!hasPlan())
        return Product::name;
    return QStringLiteral("%1%2 — %3")
        .arg(PlanFile::displayName(mPlan.path), differs(fields) ? QStringLiteral("*") : QString(),
            Product::name);
}
