#include "planfile.h"

#include "planfileini.h"

#include "app/apperror.h"
#include "app/product.h"
#include "app/settingsstore.h"
#include "entry/fieldcatalogue.h"
#include "entry/fieldvalidation.h"
#include "entry/storeddate.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace PlanFile {

namespace {

using FieldCatalogue::Group;

const QString planGroup = QStringLiteral("Plan");
const QString formatKey = QStringLiteral("FormatVersion");
const QString programKey = QStringLiteral("ProgramVersion");
// Far above any plan: a bigger file is not one, and reading it all would only cost memory.
constexpr qint64 largestPlan = 16 * 1024 * 1024;

const std::vector<FieldCatalogue::Field>& fieldsInTabOrder()
{
    static const std::vector<FieldCatalogue::Field> fields = [] {
        std::vector<FieldCatalogue::Field> sorted = FieldCatalogue::fields();
        std::stable_sort(sorted.begin(), sorted.end(),
            [](const auto& left, const auto& right) { return left.tab < right.tab; });
        return sorted;
    }();
    return fields;
}

const FieldCatalogue::Field* fieldOf(const QString& key)
{
    static const QHash<QString, const FieldCatalogue::Field*> byKey = [] {
        QHash<QString, const FieldCatalogue::Field*> table;
        for (const FieldCatalogue::Field& field : fieldsInTabOrder())
            table.insert(FieldCatalogue::settingsKey(field.group, field.index), &field);
        return table;
    }();
    return byKey.value(key);
}

QString firstStartText(Group group)
{
    return FieldCatalogue::isTextArray(group) ? QStringLiteral("0") : QString();
}

// The text a field shows for a stored text: an empty text box shows "0".
QString restoredText(Group group, const QString& stored)
{
    return stored.isEmpty() ? firstStartText(group) : stored;
}

QString programVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral(FERROWYND_VERSION) : version;
}

// A reason quoted from the fields ends with its own full stop.
QString sentence(const QString& text)
{
    return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
}

[[noreturn]] void refuse(const QString& path, const QString& reason)
{
    throw AppError(QStringLiteral("Cannot open the plan \"%1\": %2").arg(path, sentence(reason)));
}

[[noreturn]] void refuse(const QString& path, int line, const QString& reason)
{
    refuse(path, QStringLiteral("line %1 %2").arg(line).arg(reason));
}

// The value of an input as its field would take it; refuses what the field would not.
QString inputText(
    const PlanFileIni::Entry& entry, const FieldCatalogue::Field& field, const QString& path)
{
    const std::optional<QString> text = PlanFileIni::textValue(entry.rawValue);
    const QString name = QStringLiteral("%1 (%2)").arg(entry.key, field.label.trimmed());
    if (!text)
        refuse(path, entry.line, QStringLiteral("gives %1 a value that is not a text").arg(name));
    const QString shown = restoredText(field.group, *text);
    QString refusal;
    if (FieldCatalogue::isTextArray(field.group)) {
        const FieldValidation validation = validateFieldText(field.group, shown);
        if (!validation.accepted)
            refusal = validation.message;
    } else {
        try {
            StoredDate::fromText(shown);
        } catch (const AppError& error) {
            refusal = error.description();
        }
    }
    if (!refusal.isEmpty())
        refuse(path, entry.line,
            QStringLiteral("gives %1 the value \"%2\", which the field refuses: %3")
                .arg(name, shown, refusal));
    return shown;
}

void checkFormat(const PlanFileIni::Entry& entry, const QString& path)
{
    const std::optional<QString> text = PlanFileIni::textValue(entry.rawValue);
    bool number = false;
    const int version = text ? text->trimmed().toInt(&number) : 0;
    if (!number || version < 1)
        refuse(path, entry.line,
            QStringLiteral("gives %1 the value \"%2\", which is not a format number")
                .arg(formatKey, QString::fromUtf8(entry.rawValue)));
    if (version > formatVersion)
        refuse(path, entry.line,
            QStringLiteral("says the plan is of format %1, newer than format %2 that this "
                           "version of %3 (%4) reads")
                .arg(version)
                .arg(formatVersion)
                .arg(Product::name, programVersion()));
}

QByteArray entryLine(const QByteArray& key, const QByteArray& value)
{
    return key + '=' + value + '\n';
}

} // namespace

QString nameFilter()
{
    return QStringLiteral("%1 plans (*.%2)").arg(Product::name, suffix);
}

QStringList inputKeys()
{
    QStringList keys;
    for (const FieldCatalogue::Field& field : fieldsInTabOrder())
        keys.append(FieldCatalogue::settingsKey(field.group, field.index));
    return keys;
}

QHash<QString, QString> firstStartInputs()
{
    QHash<QString, QString> inputs;
    for (const FieldCatalogue::Field& field : fieldsInTabOrder())
        inputs.insert(
            FieldCatalogue::settingsKey(field.group, field.index), firstStartText(field.group));
    return inputs;
}

QHash<QString, QString> storedInputs()
{
    QHash<QString, QString> inputs;
    for (const FieldCatalogue::Field& field : fieldsInTabOrder()) {
        const QString key = FieldCatalogue::settingsKey(field.group, field.index);
        inputs.insert(key, restoredText(field.group, SettingsStore::read(key)));
    }
    return inputs;
}

Plan fromText(const QByteArray& text, const QString& path)
{
    PlanFileIni::Document document;
    try {
        document = PlanFileIni::parse(text);
    } catch (const PlanFileIni::SyntaxError& error) {
        refuse(path, error.line, error.reason + QStringLiteral(", so the file is not a plan"));
    }
    if (!document.groups.contains(Product::settingsSection) && !document.groups.contains(planGroup))
        refuse(path,
            QStringLiteral("it has neither a [%1] nor a [%2] group, so it is not a plan")
                .arg(Product::settingsSection, planGroup));

    Plan plan;
    plan.path = path;
    plan.inputs = firstStartInputs();
    QHash<QString, int> seen;
    for (const PlanFileIni::Entry& entry : document.entries) {
        const FieldCatalogue::Field* field
            = entry.group == Product::settingsSection ? fieldOf(entry.key) : nullptr;
        const bool format = entry.group == planGroup && entry.key == formatKey;
        const bool program = entry.group == planGroup && entry.key == programKey;
        if (field || format) {
            const QString name = entry.group + QLatin1Char('/') + entry.key;
            if (const int first = seen.value(name))
                refuse(path, entry.line,
                    QStringLiteral("gives %1 a second value (the first is on line %2)")
                        .arg(entry.key)
                        .arg(first));
            seen.insert(name, entry.line);
        }
        if (field)
            plan.inputs.insert(entry.key, inputText(entry, *field, path));
        else if (format)
            checkFormat(entry, path);
        else if (!program)
            plan.otherEntries.append({ QString::fromUtf8(entry.rawGroup + '/' + entry.rawKey),
                QString::fromUtf8(entry.rawValue) });
    }
    return plan;
}

Plan read(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        refuse(path, QStringLiteral("it is a folder"));
    if (!file.open(QIODevice::ReadOnly))
        refuse(path, file.errorString());
    const QByteArray text = file.read(largestPlan + 1);
    if (file.error() != QFileDevice::NoError)
        refuse(path, file.errorString());
    if (text.size() > largestPlan)
        refuse(path, QStringLiteral("it is too large to be a plan"));
    return fromText(text, path);
}

QByteArray toText(const Plan& plan)
{
    QByteArray text = '[' + PlanFileIni::escapedKey(planGroup) + "]\n";
    text += entryLine(formatKey.toUtf8(), QByteArray::number(formatVersion));
    text += entryLine(programKey.toUtf8(), PlanFileIni::escapedText(programVersion()));
    // Other entries go back into their groups, the groups in the order the file had them.
    QVector<QByteArray> groups { planGroup.toUtf8(),
        PlanFileIni::escapedKey(Product::settingsSection) };
    QHash<QByteArray, QByteArray> groupLines;
    for (const auto& [name, value] : plan.otherEntries) {
        const QByteArray entry = name.toUtf8();
        const qsizetype slash = entry.indexOf('/');
        const QByteArray group = slash < 0 ? QByteArray("General") : entry.left(slash);
        if (!groups.contains(group))
            groups.append(group);
        groupLines[group] += entryLine(entry.mid(slash + 1), value.toUtf8());
    }
    text += groupLines.value(groups[0]);
    text += "\n[" + groups[1] + "]\n";
    for (const QString& key : inputKeys())
        text += entryLine(key.toUtf8(), PlanFileIni::escapedText(plan.inputs.value(key)));
    text += groupLines.value(groups[1]);
    for (qsizetype index = 2; index < groups.size(); ++index)
        text += "\n[" + groups[index] + "]\n" + groupLines.value(groups[index]);
    return text;
}

void write(const QString& path, const Plan& plan)
{
    const QByteArray text = toText(plan);
    QSaveFile file(path);
    const auto fail = [&path](const QString& reason) {
        throw AppError(QStringLiteral("Cannot save the plan \"%1\": %2.").arg(path, reason));
    };
    // Unbuffered: a failure while a buffer went to disk in commit() would not stop it from putting
    // the truncated file in place of the old one, and would not say why.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(file.errorString());
    // The household's figures are the user's alone, from the first byte on.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        fail(file.errorString());
    // A short write gives no reason; the write of the rest fails with the system's.
    for (qint64 done = 0; done < text.size();) {
        const qint64 written = file.write(text.constData() + done, text.size() - done);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            fail(reason);
        }
        done += written;
    }
    if (!file.commit())
        fail(file.errorString());
}

QString displayName(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    const QString ending = QLatin1Char('.') + suffix;
    if (info.fileName().endsWith(ending, Qt::CaseInsensitive)
        && info.fileName().size() > ending.size())
        return info.fileName().chopped(ending.size());
    return info.completeBaseName().isEmpty() ? info.fileName() : info.completeBaseName();
}

} // namespace PlanFile
