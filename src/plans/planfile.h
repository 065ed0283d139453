#pragma once

#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// One plan: the inputs as the store holds them, and the rest of its file kept for re-saving.
struct Plan {
    QString path; // the file it was read from; empty for a plan never saved
    QHash<QString, QString> inputs; // always all 87 input keys -> stored text
    // Whatever else the file held (unknown keys and groups), kept for writing back. Its type is
    // the plan file's own business; other parts only copy it along. Here: "Group/key" -> value,
    // in file order, group, key and value exactly as the file wrote them (escaped).
    QVector<QPair<QString, QString>> otherEntries;
};

// Plans on disk: INI text with the inputs in group [Ferrowynd] under the settings store's own
// keys and texts, and the file's format in group [Plan]. The program's settings file reads as a
// plan too.
namespace PlanFile {
inline const QString suffix = QStringLiteral("ferrowynd");
inline const QString mimeType = QStringLiteral("application/x-ferrowynd-plan");
// The format this version writes, and the newest it reads.
constexpr int formatVersion = 1;

QString nameFilter(); // for the file dialogs: "Ferrowynd plans (*.ferrowynd)"
QStringList inputKeys(); // the 87 keys, in the window's tab order
QHash<QString, QString> firstStartInputs(); // "0" for a text box, "" (no date) for a picker
// The 87 keys as the settings store holds them now (missing -> first-start value): the current
// fields.
QHash<QString, QString> storedInputs();

// Throws AppError naming the file and the line; a refused file gives no plan at all.
Plan read(const QString& path);
// The same for a file's content; path names it in messages and becomes the plan's path.
Plan fromText(const QByteArray& text, const QString& path);
// Atomic, mode 0600 whatever the umask; throws AppError with the system's reason.
void write(const QString& path, const Plan& plan);
QByteArray toText(const Plan& plan);
QString displayName(const QString& path); // ".../Retire at 62.ferrowynd" -> "Retire at 62"
} // namespace PlanFile
