#include "app/apperror.h"
#include "app/settingsfile.h"
#include "app/settingsstore.h"
#include "plans/planfile.h"
#include "plans/planfileini.h"

#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using Inputs = QHash<QString, QString>;
using Text = std::optional<QString>;

namespace {

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// The message of the AppError that call throws, or "" when it throws none.
template <typename Call> QString refusal(Call call)
{
    try {
        call();
    } catch (const AppError& error) {
        return error.description();
    }
    return QString();
}

Plan firstStartPlan()
{
    return Plan { QString(), PlanFile::firstStartInputs(), {} };
}

} // namespace

class TestPlanFile : public QObject {
    Q_OBJECT

    QTemporaryDir mFolder;

    QString path(const QString& name) const { return mFolder.filePath(name); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion("9.8.7");
        QLocale::setDefault(QLocale("en_US"));
    }

    void inputKeysAreTheWindowsInTabOrder()
    {
        const QStringList keys = PlanFile::inputKeys();
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), 87);
        QCOMPARE(keys.mid(0, 2), QStringList({ "txtIncome0", "txtIncome4" }));
        QCOMPARE(keys.mid(57, 2), QStringList({ "dtHusbandDOB", "dtWifeDOB" }));
        QCOMPARE(keys.last(), QStringLiteral("txtRetirementIncome3"));
        QCOMPARE(PlanFile::nameFilter(), QStringLiteral("Ferrowynd plans (*.ferrowynd)"));
        const Inputs first = PlanFile::firstStartInputs();
        QCOMPARE(first.size(), 87);
        QCOMPARE(first.value("txtExpense12"), QStringLiteral("0"));
        QVERIFY(first.contains("dtWifeDOB") && first.value("dtWifeDOB").isEmpty());
    }

    void displayName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        for (const auto& [file, name] : std::initializer_list<std::pair<const char*, const char*>> {
                 { "/home/a/Retire at 62.ferrowynd", "Retire at 62" },
                 { "/p/v1.2 draft.ferrowynd", "v1.2 draft" }, { "/p/Move.FERROWYND", "Move" },
                 { "/home/a/.config/Ostrivane.conf", "Ostrivane" },
                 { "/p/.ferrowynd", ".ferrowynd" }, { "", "" } })
            QTest::newRow(file) << QString(file) << QString(name);
    }

    void displayName()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(PlanFile::displayName(path), name);
    }

    // A value as the settings classes write it (when they can) and read it; by hand, a comma
    // outside quotes stays in the text.
    void values_data()
    {
        QTest::addColumn<Text>("text");
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<bool>("settingsWrite");
        const auto row = [](const char* name, Text text, const QByteArray& raw, bool written) {
            QTest::newRow(name) << text << raw << written;
        };
        row("amount with comma", "$1,234.00", "\"$1,234.00\"", true);
        row("german amount", QStringLiteral("1.234,50 €"), "\"1.234,50 \xe2\x82\xac\"", true);
        row("plain", "12", "12", true);
        row("empty", "", "", true);
        row("quotes", "say \"hi\"", "say \\\"hi\\\"", true);
        row("backslash", "a\\b", "a\\\\b", true);
        row("leading space", " 5", "\" 5\"", true);
        row("semicolon", "a;b", "\"a;b\"", true);
        row("tab and line", "a\tb\nc", "a\\tb\\nc", true);
        row("control before digits", QStringLiteral("\x01") + "2f", "\\x1\\x32\\x66", true);
        row("at sign", "@home", "@@home", true);
        row("looks typed", "@Variant(x)", "@@Variant(x)", true);
        row("outside the BMP", QStringLiteral("a\U0001F600b"),
            "a\xf0\x9f\x98\x80"
            "b",
            true);
        row("quote comma backslash", "\"1,2\"\\", "\"\\\"1,2\\\"\\\\\"", true);
        row("unquoted comma by hand", "1,234.00", "1,234.00", false);
        row("two quoted parts", "ab", "\"a\" \"b\"", false);
        row("octal and hex", "A A ", "\\101 \\x41\\x20", false);
        row("typed", std::nullopt, "@Variant(\\0\\0)", false);
        row("unknown at", "@home", "@home", false);
    }

    void values()
    {
        QFETCH(Text, text);
        QFETCH(QByteArray, raw);
        QFETCH(bool, settingsWrite);
        QCOMPARE(PlanFileIni::textValue(raw), text);
        if (!settingsWrite)
            return;
        const QString settingsPath = path("escaping.conf");
        QFile::remove(settingsPath);
        QSettings(settingsPath, QSettings::IniFormat).setValue("Ferrowynd/txtOther1", *text);
        const QByteArray content = fileContent(settingsPath);
        QCOMPARE(content, "[Ferrowynd]\ntxtOther1=" + raw + '\n');
        QCOMPARE(PlanFileIni::escapedText(*text), raw);
        const PlanFileIni::Document document = PlanFileIni::parse(content);
        QCOMPARE(document.entries.size(), 1);
        QCOMPARE(document.entries[0].line, 2);
        QCOMPARE(document.entries[0].rawValue, raw);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("amounts");
        QTest::addColumn<QStringList>("dates");
        QTest::newRow("en_US") << "en_US"
                               << QStringList { "$1,234.00", "($1,500.00)", "12", "7.5", "-$3.25",
                                      "0", "1,234,567" }
                               << QStringList { "11/4/1965", "" };
        QTest::newRow("de_DE") << "de_DE"
                               << QStringList { QStringLiteral("1.234,50 €"), "7,5", "-3", "0",
                                      "1.500" }
                               << QStringList { "04.11.1965", "24.01.1966" };
    }

    // All 87 inputs, each with a text of its own, come back unchanged; the settings classes
    // read the same texts from the file.
    void roundTrip()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, amounts);
        QFETCH(QStringList, dates);
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale("en_US")); });
        Plan plan;
        int next = 0;
        for (const QString& key : PlanFile::inputKeys()) {
            const QStringList& texts = key.startsWith("dt") ? dates : amounts;
            plan.inputs.insert(key, texts[next++ % texts.size()]);
        }
        const QString file = path("round trip " + locale + ".ferrowynd");
        PlanFile::write(file, plan);
        const Plan read = PlanFile::read(file);
        QCOMPARE(read.path, file);
        QCOMPARE(read.inputs, plan.inputs);
        QVERIFY(read.otherEntries.isEmpty());

        QVERIFY(fileContent(file).startsWith("[Plan]\nFormatVersion=1\nProgramVersion=9.8.7\n\n"
                                             "[Ferrowynd]\ntxtIncome0="
            + PlanFileIni::escapedText(amounts[0]) + "\ntxtIncome4="));
        QSettings settings(file, QSettings::IniFormat);
        QCOMPARE(settings.value("Plan/FormatVersion").toString(), QStringLiteral("1"));
        for (const QString& key : PlanFile::inputKeys())
            QCOMPARE(settings.value("Ferrowynd/" + key).toString(), plan.inputs.value(key));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char* name, const QByteArray& content, const QString& reason) {
            QTest::newRow(name) << content << reason;
        };
        const QString notPlan = ", so the file is not a plan.";
        row("binary",
            QByteArray("\x7f"
                       "ELF\x02\x01\x00\x00",
                8),
            "line 1 is not text" + notPlan);
        row("not UTF-8", "[Ferrowynd]\ntxtIncome0=1\ntxtIncome4=\xff\xfe\n",
            "line 3 is not text (its bytes are not UTF-8)" + notPlan);
        row("prose", "[Ferrowynd]\n\nDear reader,\n",
            "line 3 is neither a [group] nor a key=value entry" + notPlan);
        row("no plan groups", "[Desktop Entry]\nName=x\n",
            "it has neither a [Ferrowynd] nor a [Plan] group, so it is not a plan.");
        row("empty file", "",
            "it has neither a [Ferrowynd] nor a [Plan] group, so it is not a plan.");
        row("unclosed group", "[Plan\nFormatVersion=1\n",
            "line 1 opens a group with \"[\" but has no \"]\"" + notPlan);
        row("unclosed quote", "[Ferrowynd]\ntxtIncome0=\"12\ntxtIncome4=3\n",
            "line 2 opens a quoted text that does not end on it" + notPlan);
        row("no key", "[Ferrowynd]\n=12\n", "line 2 has no key before its \"=\"" + notPlan);
        row("newer format", "; comment\n[Plan]\nFormatVersion=2\n",
            "line 3 says the plan is of format 2, newer than format 1 that this version of "
            "Ferrowynd (9.8.7) reads.");
        row("format not a number", "[Plan]\nFormatVersion=one\n",
            "line 2 gives FormatVersion the value \"one\", which is not a format number.");
        row("format zero", "[Plan]\nFormatVersion=0\n",
            "line 2 gives FormatVersion the value \"0\", which is not a format number.");
        row("amount refused", "[Ferrowynd]\ntxtIncome0=$5.00\ntxtIncome4=abc\n",
            "line 3 gives txtIncome4 (Business Revenues) the value \"abc\", which the field "
            "refuses: Please enter a valid amount.");
        row("other input refused", "[Ferrowynd]\ntxtOther1=\"1,2\"\n",
            "line 2 gives txtOther1 (inv return in retirement (%)) the value \"1,2\", which the "
            "field refuses: Please enter a valid input.");
        row("date refused", "[Ferrowynd]\ndtHusbandDOB=31/12/1965\n",
            "line 2 gives dtHusbandDOB (Husband DOB) the value \"31/12/1965\", which the field "
            "refuses: Type mismatch: \"31/12/1965\" is not a date in the form M/d/yyyy.");
        row("typed value", "[Ferrowynd]\ntxtIncome0=@Variant(\\0\\0)\n",
            "line 2 gives txtIncome0 (Wages - Husband) a value that is not a text.");
        row("key twice", "[Ferrowynd]\ntxtIncome0=1\n\n[Ferrowynd]\ntxtIncome0=2\n",
            "line 5 gives txtIncome0 a second value (the first is on line 2).");
        row("continued line", "[Ferrowynd]\ntxtIncome0=1\\\n2\ntxtIncome4=x\n",
            "line 4 gives txtIncome4 (Business Revenues) the value \"x\", which the field "
            "refuses: Please enter a valid amount.");
    }

    void refusals()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString file = path("refused.ferrowynd");
        writeFile(file, content);
        QCOMPARE(refusal([&] { PlanFile::read(file); }),
            QStringLiteral("Cannot open the plan \"%1\": %2").arg(file, reason));
        QCOMPARE(fileContent(file), content);
    }

    void unreadableFilesGiveTheSystemsReason()
    {
        const QString missing = path("missing.ferrowynd");
        QCOMPARE(refusal([&] { PlanFile::read(missing); }),
            QStringLiteral("Cannot open the plan \"%1\": No such file or directory.").arg(missing));
        QCOMPARE(refusal([&] { PlanFile::read(mFolder.path()); }),
            QStringLiteral("Cannot open the plan \"%1\": it is a folder.").arg(mFolder.path()));
        const QString file = path("no such folder/plan.ferrowynd");
        QCOMPARE(refusal([&] { PlanFile::write(file, firstStartPlan()); }),
            QStringLiteral("Cannot save the plan \"%1\": No such file or directory.").arg(file));
    }

    void missingGroupsAndKeysTakeFirstStartValues_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Inputs>("changed");
        QTest::newRow("no [Plan] group")
            << QByteArray("[Ferrowynd]\ntxtIncome0=\"$5,000.00\"\ndtWifeDOB=1/24/1966\n")
            << Inputs { { "txtIncome0", "$5,000.00" }, { "dtWifeDOB", "1/24/1966" } };
        QTest::newRow("no [Ferrowynd] group")
            << QByteArray("[Plan]\nFormatVersion=1\n") << Inputs {};
        QTest::newRow("[Plan] without a format")
            << QByteArray("[Plan]\nProgramVersion=0.1\n[Ferrowynd]\ntxtSavings3=7\n")
            << Inputs { { "txtSavings3", "7" } };
        QTest::newRow("empty texts")
            << QByteArray("[Ferrowynd]\ntxtIncome0=\ndtHusbandDOB=\n") << Inputs {};
        QTest::newRow("the README's example")
            << QByteArray("[Plan]\nFormatVersion=1\nProgramVersion=1.0.0\n\n[Ferrowynd]\n"
                          "txtIncome0=\"$5,200.00\"\ntxtIncome4=0\ntxtExpense12=\"$1,500.00\"\n"
                          "txtOther1=6\ndtHusbandDOB=11/4/1965\ndtWifeDOB=\n")
            << Inputs { { "txtIncome0", "$5,200.00" }, { "txtExpense12", "$1,500.00" },
                   { "txtOther1", "6" }, { "dtHusbandDOB", "11/4/1965" } };
        QTest::newRow("comments and blank lines")
            << QByteArray("\xef\xbb\xbf# by hand\r\n\r\n[Ferrowynd] ; inputs\r\n  txtIncome0 = "
                          "1,500 ; no\r\ntxtIncome4=\"2,000\";x\r\n")
            << Inputs { { "txtIncome0", "1,500" }, { "txtIncome4", "2,000" } };
    }

    void missingGroupsAndKeysTakeFirstStartValues()
    {
        QFETCH(QByteArray, content);
        QFETCH(Inputs, changed);
        Inputs expected = PlanFile::firstStartInputs();
        expected.insert(changed);
        QCOMPARE(PlanFile::fromText(content, "x.ferrowynd").inputs, expected);
    }

    // Groups and keys of other programs' versions, and the window places of a settings file, go
    // back into the file exactly as they were written.
    void unknownEntriesAreKeptOnResave()
    {
        const QString original = path("original.ferrowynd");
        writeFile(original,
            "top=1\n[Windows]\nForm1\\geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb)\n[Plan]\n"
            "FormatVersion=1\nProgramVersion=0.9\nAuthor=\"Ann, adviser\"\n[Ferrowynd]\n"
            "txtIncome0=12\ntxtFuture=\"a,b\"\nn%E9=x\n");
        Plan plan = PlanFile::read(original);
        const QVector<QPair<QString, QString>> others { { "General/top", "1" },
            { "Windows/Form1\\geometry", "@ByteArray(\\x1\\xd9\\xd0\\xcb)" },
            { "Plan/Author", "\"Ann, adviser\"" }, { "Ferrowynd/txtFuture", "\"a,b\"" },
            { "Ferrowynd/n%E9", "x" } };
        QCOMPARE(plan.otherEntries, others);

        plan.inputs.insert("txtIncome4", "$9.00");
        const QString resaved = path("resaved.ferrowynd");
        PlanFile::write(resaved, plan);
        const QByteArray content = fileContent(resaved);
        QVERIFY(content.startsWith("[Plan]\nFormatVersion=1\nProgramVersion=9.8.7\nAuthor=\"Ann, "
                                   "adviser\"\n\n[Ferrowynd]\ntxtIncome0=12\n"));
        QVERIFY(content.endsWith(
            "txtRetirementIncome3=0\ntxtFuture=\"a,b\"\nn%E9=x\n\n[General]\n"
            "top=1\n\n[Windows]\nForm1\\geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb)\n"));
        // Each group's entries keep their order; the groups come in the order plans have them.
        auto resavedOthers = PlanFile::read(resaved).otherEntries;
        auto sortedOthers = others;
        std::stable_sort(resavedOthers.begin(), resavedOthers.end());
        std::stable_sort(sortedOthers.begin(), sortedOthers.end());
        QCOMPARE(resavedOthers, sortedOthers);

        QSettings before(original, QSettings::IniFormat);
        QSettings after(resaved, QSettings::IniFormat);
        QCOMPARE(after.allKeys().size(), before.allKeys().size() + 86);
        for (const QString& key : before.allKeys()) {
            if (key != "Plan/ProgramVersion" && key != "Ferrowynd/txtIncome4")
                QCOMPARE(after.value(key), before.value(key));
        }
        QCOMPARE(after.value("Ferrowynd/n\u00e9").toString(), QStringLiteral("x"));
    }

    // The program's own settings file, written by the store, is a plan of the current fields.
    void settingsFileReadsAsPlan()
    {
        SettingsStore::write("txtExpense12", "$1,500.00");
        SettingsStore::write("txtIncome0", QString());
        SettingsStore::write("dtHusbandDOB", "11/4/1965");
        SettingsStore::write("txtOther1", "62");
        QVERIFY(SettingsStore::flush());
        SettingsFile::writeIn("Windows", { { "Form1", "10 20" } });

        Inputs expected = PlanFile::firstStartInputs();
        expected.insert({ { "txtExpense12", "$1,500.00" }, { "dtHusbandDOB", "11/4/1965" },
            { "txtOther1", "62" } });
        QCOMPARE(PlanFile::storedInputs(), expected);
        const Plan plan = PlanFile::read(SettingsStore::fileName());
        QCOMPARE(plan.inputs, expected);
        QCOMPARE(
            plan.otherEntries, (QVector<QPair<QString, QString>> { { "Windows/Form1", "10 20" } }));
    }

    // Whatever the umask, and also where a readable file is replaced.
    void writtenFileIsPrivate()
    {
        const QString file = path("private.ferrowynd");
        const auto mode = [&file] {
            struct stat info { };
            return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? info.st_mode & 07777
                                                                           : 0;
        };
        const mode_t before = ::umask(0);
        PlanFile::write(file, firstStartPlan());
        QCOMPARE(mode(), mode_t(0600));
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0644) == 0);
        PlanFile::write(file, firstStartPlan());
        ::umask(before);
        QCOMPARE(mode(), mode_t(0600));
        QCOMPARE(PlanFile::read(file).inputs, PlanFile::firstStartInputs());
    }

    // A write that fails half-way leaves the plan that was there, and no other file.
    void failedWriteKeepsTheOldFile()
    {
        QVERIFY(QDir().mkpath(path("atomic")));
        const QString file = path("atomic/kept.ferrowynd");
        const QByteArray old = "[Plan]\nFormatVersion=1\n";
        writeFile(file, old);
        // Files may not grow past 200 bytes, and the plan is longer: unlike a read-only folder,
        // this stops root too.
        struct rlimit limit { };
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const struct rlimit small {
            200, limit.rlim_max
        };
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString message = refusal([&] { PlanFile::write(file, firstStartPlan()); });
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(message, QStringLiteral("Cannot save the plan \"%1\": File too large.").arg(file));
        QCOMPARE(fileContent(file), old);
        QCOMPARE(QDir(path("atomic")).entryList(QDir::Files | QDir::Hidden),
            QStringList { "kept.ferrowynd" });
    }
};

QTEST_GUILESS_MAIN(TestPlanFile)
#include "tst_planfile.moc"
