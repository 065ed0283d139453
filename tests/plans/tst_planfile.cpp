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

namespace {

const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner
    | QFileDevice::ReadUser | QFileDevice::WriteUser;

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

// Restores the regional setting a row changed.
class DefaultLocale {
public:
    explicit DefaultLocale(const QString& name) { QLocale::setDefault(QLocale(name)); }
    ~DefaultLocale() { QLocale::setDefault(mBefore); }

private:
    QLocale mBefore;
};

} // namespace

class TestPlanFile : public QObject {
    Q_OBJECT

    QTemporaryDir mFolder;

    QString path(const QString& name) const { return mFolder.filePath(name); }

    // Reads content through a file, as users' plans are read.
    Plan readContent(const QByteArray& content, const QString& name = "plan.ferrowynd")
    {
        writeFile(path(name), content);
        return PlanFile::read(path(name));
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion("9.8.7");
        QLocale::setDefault(QLocale("en_US"));
    }

    void inputKeysAreTheWindowsInTabOrder()
    {
        const QStringList keys = PlanFile::inputKeys();
        QCOMPARE(keys.size(), 87);
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), 87);
        QCOMPARE(keys.first(), QStringLiteral("txtIncome0"));
        QCOMPARE(keys[1], QStringLiteral("txtIncome4"));
        QCOMPARE(keys.mid(57, 2), QStringList({ "dtHusbandDOB", "dtWifeDOB" }));
        QCOMPARE(keys.last(), QStringLiteral("txtRetirementIncome3"));
        QCOMPARE(PlanFile::nameFilter(), QStringLiteral("Ferrowynd plans (*.ferrowynd)"));
        const Inputs first = PlanFile::firstStartInputs();
        QCOMPARE(first.size(), 87);
        QCOMPARE(first.value("txtExpense12"), QStringLiteral("0"));
        QCOMPARE(first.value("dtWifeDOB"), QString());
        QVERIFY(first.contains("dtWifeDOB"));
    }

    void displayName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("plan") << "/home/a/Retire at 62.ferrowynd"
                              << "Retire at 62";
        QTest::newRow("dots inside") << "/p/v1.2 draft.ferrowynd"
                                     << "v1.2 draft";
        QTest::newRow("capital suffix") << "/p/Move.FERROWYND"
                                        << "Move";
        QTest::newRow("settings file") << "/home/a/.config/Ostrivane.conf"
                                       << "Ostrivane";
        QTest::newRow("only the suffix") << "/p/.ferrowynd"
                                         << ".ferrowynd";
        QTest::newRow("never saved") << QString() << QString();
    }

    void displayName()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(PlanFile::displayName(path), name);
    }

    // Each text as the settings classes write it, and read back as they read it.
    void textsAreEscapedAsTheSettingsClassesDo_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("amount with comma") << "$1,234.00" << QByteArray("\"$1,234.00\"");
        QTest::newRow("german amount")
            << QStringLiteral("1.234,50 €") << QByteArray("\"1.234,50 \xe2\x82\xac\"");
        QTest::newRow("plain") << "12" << QByteArray("12");
        QTest::newRow("empty") << "" << QByteArray("");
        QTest::newRow("quotes") << "say \"hi\"" << QByteArray("say \\\"hi\\\"");
        QTest::newRow("backslash") << "a\\b" << QByteArray("a\\\\b");
        QTest::newRow("leading space") << " 5" << QByteArray("\" 5\"");
        QTest::newRow("trailing space") << "5 " << QByteArray("\"5 \"");
        QTest::newRow("semicolon") << "a;b" << QByteArray("\"a;b\"");
        QTest::newRow("equals") << "x=y" << QByteArray("\"x=y\"");
        QTest::newRow("tab and line") << "a\tb\nc" << QByteArray("a\\tb\\nc");
        QTest::newRow("control before digit")
            << QStringLiteral("\x01") + "2f" << QByteArray("\\x1\\x32\\x66");
        QTest::newRow("at sign") << "@home" << QByteArray("@@home");
        QTest::newRow("looks typed") << "@Variant(x)" << QByteArray("@@Variant(x)");
        QTest::newRow("outside the BMP") << QStringLiteral("a\U0001F600b")
                                         << QByteArray("a\xf0\x9f\x98\x80"
                                                       "b");
        QTest::newRow("quote comma backslash") << "\"1,2\"\\" << QByteArray("\"\\\"1,2\\\"\\\\\"");
    }

    void textsAreEscapedAsTheSettingsClassesDo()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        const QString settingsPath = path("escaping.conf");
        QFile::remove(settingsPath);
        {
            QSettings settings(settingsPath, QSettings::IniFormat);
            settings.setValue("Ferrowynd/txtOther1", text);
        }
        const QByteArray content = fileContent(settingsPath);
        QVERIFY2(content.contains("\ntxtOther1=" + written + '\n'), content.constData());
        QCOMPARE(PlanFileIni::escapedText(text), written);
        const PlanFileIni::Document document = PlanFileIni::parse(content);
        QCOMPARE(document.entries.size(), 1);
        QCOMPARE(document.entries[0].line, 2);
        QCOMPARE(PlanFileIni::textValue(document.entries[0].rawValue), text);
    }

    // Texts written by hand, read as the settings classes read them, except that a comma outside
    // quotes stays in the text.
    void handWrittenValues_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<std::optional<QString>>("text");
        QTest::newRow("unquoted comma")
            << QByteArray("1,234.00") << std::optional<QString>("1,234.00");
        QTest::newRow("spaces around") << QByteArray("  12  ") << std::optional<QString>("12");
        QTest::newRow("quoted spaces") << QByteArray("\" 12 \"") << std::optional<QString>(" 12 ");
        QTest::newRow("two quoted parts")
            << QByteArray("\"a\" \"b\"") << std::optional<QString>("ab");
        QTest::newRow("octal") << QByteArray("\\101") << std::optional<QString>("A");
        QTest::newRow("hex") << QByteArray("\\x41\\x20") << std::optional<QString>("A ");
        QTest::newRow("typed") << QByteArray("@Variant(\\0\\0)") << std::optional<QString>();
        QTest::newRow("byte array") << QByteArray("@ByteArray(x)") << std::optional<QString>();
        QTest::newRow("unknown at") << QByteArray("@home") << std::optional<QString>("@home");
    }

    void handWrittenValues()
    {
        QFETCH(QByteArray, raw);
        QFETCH(std::optional<QString>, text);
        QCOMPARE(PlanFileIni::textValue(raw), text);
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
        const DefaultLocale regional(locale);
        Plan plan;
        int next = 0;
        for (const QString& key : PlanFile::inputKeys()) {
            const bool date = key.startsWith("dt");
            plan.inputs.insert(
                key, date ? dates[next % dates.size()] : amounts[next % amounts.size()]);
            ++next;
        }
        const QString file = path("round trip " + locale + ".ferrowynd");
        PlanFile::write(file, plan);
        const Plan read = PlanFile::read(file);
        QCOMPARE(read.path, file);
        QCOMPARE(read.inputs, plan.inputs);
        QVERIFY(read.otherEntries.isEmpty());

        const QByteArray content = fileContent(file);
        QVERIFY(content.startsWith("[Plan]\nFormatVersion=1\nProgramVersion=9.8.7\n\n[Ferrowynd]\n"
                                   "txtIncome0="
            + PlanFileIni::escapedText(amounts[0]) + "\ntxtIncome4="));
        QSettings settings(file, QSettings::IniFormat);
        QCOMPARE(settings.status(), QSettings::NoError);
        QCOMPARE(settings.value("Plan/FormatVersion").toString(), QStringLiteral("1"));
        for (const QString& key : PlanFile::inputKeys())
            QCOMPARE(settings.value("Ferrowynd/" + key).toString(), plan.inputs.value(key));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("binary") << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\x00\x00",
            9) << "line 1 is not text, so the file is not a plan.";
        QTest::newRow("not UTF-8") << QByteArray("[Ferrowynd]\ntxtIncome0=1\ntxtIncome4=\xff\xfe\n")
                                   << "line 3 is not text (its bytes are not UTF-8), so the file "
                                      "is not a plan.";
        QTest::newRow("prose") << QByteArray("[Ferrowynd]\n\nDear reader,\n")
                               << "line 3 is neither a [group] nor a key=value entry, so the "
                                  "file is not a plan.";
        QTest::newRow("no plan groups") << QByteArray("[Desktop Entry]\nName=x\n")
                                        << "it has neither a [Ferrowynd] nor a [Plan] group, so "
                                           "it is not a plan.";
        QTest::newRow("empty file") << QByteArray()
                                    << "it has neither a [Ferrowynd] nor a [Plan] group, so it "
                                       "is not a plan.";
        QTest::newRow("unclosed group") << QByteArray("[Plan\nFormatVersion=1\n")
                                        << "line 1 opens a group with \"[\" but has no \"]\", so "
                                           "the file is not a plan.";
        QTest::newRow("unclosed quote")
            << QByteArray("[Ferrowynd]\ntxtIncome0=\"12\ntxtIncome4=3\n")
            << "line 2 opens a quoted text that does not end on it, "
               "so the file is not a plan.";
        QTest::newRow("no key") << QByteArray("[Ferrowynd]\n=12\n")
                                << "line 2 has no key before its \"=\", so the file is not a plan.";
        QTest::newRow("newer format") << QByteArray("; comment\n[Plan]\nFormatVersion=2\n")
                                      << "line 3 says the plan is of format 2, newer than format 1 "
                                         "that this version of Ferrowynd (9.8.7) reads.";
        QTest::newRow("format not a number")
            << QByteArray("[Plan]\nFormatVersion=one\n")
            << "line 2 gives FormatVersion the value \"one\", which is not a format number.";
        QTest::newRow("format zero") << QByteArray("[Plan]\nFormatVersion=0\n")
                                     << "line 2 gives FormatVersion the value \"0\", which is not "
                                        "a format number.";
        QTest::newRow("amount refused")
            << QByteArray("[Ferrowynd]\ntxtIncome0=$5.00\ntxtIncome4=abc\n")
            << "line 3 gives txtIncome4 (Business Revenues) the value \"abc\", which the field "
               "refuses: Please enter a valid amount.";
        QTest::newRow("other input refused") << QByteArray("[Ferrowynd]\ntxtOther1=\"1,2\"\n")
                                             << "line 2 gives txtOther1 (inv return in retirement "
                                                "(%)) the value \"1,2\", which the field refuses: "
                                                "Please enter a valid input.";
        QTest::newRow("date refused")
            << QByteArray("[Ferrowynd]\ndtHusbandDOB=31/12/1965\n")
            << "line 2 gives dtHusbandDOB (Husband DOB) the value \"31/12/1965\", which the "
               "field refuses: Type mismatch: \"31/12/1965\" is not a date in the form M/d/yyyy.";
        QTest::newRow("typed value") << QByteArray("[Ferrowynd]\ntxtIncome0=@Variant(\\0\\0)\n")
                                     << "line 2 gives txtIncome0 (Wages - Husband) a value that "
                                        "is not a text.";
        QTest::newRow("key twice") << QByteArray("[Ferrowynd]\ntxtIncome0=1\n\n[Ferrowynd]\n"
                                                 "txtIncome0=2\n")
                                   << "line 5 gives txtIncome0 a second value (the first is on "
                                      "line 2).";
        QTest::newRow("continued line")
            << QByteArray("[Ferrowynd]\ntxtIncome0=1\\\n2\ntxtIncome4=x\n")
            << "line 4 gives txtIncome4 (Business Revenues) the value \"x\", which the field "
               "refuses: Please enter a valid amount.";
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

    void unreadableFiles()
    {
        const QString missing = path("missing.ferrowynd");
        QCOMPARE(refusal([&] { PlanFile::read(missing); }),
            QStringLiteral("Cannot open the plan \"%1\": No such file or directory.").arg(missing));
        QCOMPARE(refusal([&] { PlanFile::read(mFolder.path()); }),
            QStringLiteral("Cannot open the plan \"%1\": it is a folder.").arg(mFolder.path()));
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
        QTest::newRow("comments and blank lines")
            << QByteArray(
                   "\xef\xbb\xbf# by hand\r\n\r\n[Ferrowynd] ; inputs\r\n  txtIncome0 = 1,500 "
                   "; no\r\ntxtIncome4=\"2,000\";x\r\n")
            << Inputs { { "txtIncome0", "1,500" }, { "txtIncome4", "2,000" } };
    }

    void missingGroupsAndKeysTakeFirstStartValues()
    {
        QFETCH(QByteArray, content);
        QFETCH(Inputs, changed);
        Inputs expected = PlanFile::firstStartInputs();
        expected.insert(changed);
        QCOMPARE(readContent(content).inputs, expected);
    }

    // Groups and keys of other programs' versions, and the window places of a settings file, go
    // back into the file exactly as they were written.
    void unknownEntriesAreKeptOnResave()
    {
        const QByteArray original = "top=1\n"
                                    "[Windows]\n"
                                    "Form1\\geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb)\n"
                                    "[Plan]\n"
                                    "FormatVersion=1\n"
                                    "ProgramVersion=0.9\n"
                                    "Author=\"Ann, adviser\"\n"
                                    "[Ferrowynd]\n"
                                    "txtIncome0=12\n"
                                    "txtFuture=\"a,b\"\n"
                                    "n%E9=x\n";
        Plan plan = readContent(original);
        const QVector<QPair<QString, QString>> others {
            { "General/top", "1" },
            { "Windows/Form1\\geometry", "@ByteArray(\\x1\\xd9\\xd0\\xcb)" },
            { "Plan/Author", "\"Ann, adviser\"" },
            { "Ferrowynd/txtFuture", "\"a,b\"" },
            { "Ferrowynd/n%E9", "x" },
        };
        QCOMPARE(plan.otherEntries, others);

        plan.inputs.insert("txtIncome4", "$9.00");
        const QString resaved = path("resaved.ferrowynd");
        PlanFile::write(resaved, plan);
        const QByteArray content = fileContent(resaved);
        QVERIFY2(content.startsWith("[Plan]\nFormatVersion=1\nProgramVersion=9.8.7\nAuthor=\"Ann, "
                                    "adviser\"\n\n[Ferrowynd]\ntxtIncome0=12\n"),
            content.constData());
        QVERIFY(content.endsWith(
            "txtRetirementIncome3=0\ntxtFuture=\"a,b\"\nn%E9=x\n\n[General]\ntop=1\n\n"
            "[Windows]\nForm1\\geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb)\n"));
        QCOMPARE(PlanFile::read(resaved).otherEntries.size(), others.size());

        QSettings before(path("plan.ferrowynd"), QSettings::IniFormat);
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

    void writtenFileIsPrivate_data()
    {
        QTest::addColumn<int>("umask");
        QTest::addColumn<bool>("existing");
        QTest::newRow("usual umask, new file") << 022 << false;
        QTest::newRow("open umask, new file") << 0 << false;
        QTest::newRow("open umask, readable file replaced") << 0 << true;
    }

    void writtenFileIsPrivate()
    {
        QFETCH(int, umask);
        QFETCH(bool, existing);
        const QString file = path("private.ferrowynd");
        QFile::remove(file);
        if (existing) {
            writeFile(file, "[Plan]\n");
            QVERIFY(QFile::setPermissions(file,
                QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                    | QFileDevice::ReadOther));
        }
        const mode_t before = ::umask(mode_t(umask));
        PlanFile::write(file, Plan { QString(), PlanFile::firstStartInputs(), {} });
        ::umask(before);
        QCOMPARE(QFile::permissions(file), ownerOnly);
        QCOMPARE(PlanFile::read(file).inputs, PlanFile::firstStartInputs());
    }

    // A write that fails half-way leaves the plan that was there, and no other file.
    void failedWriteKeepsTheOldFile()
    {
        const QString file = path("atomic/kept.ferrowynd");
        QVERIFY(QDir().mkpath(path("atomic")));
        const QByteArray old = "[Plan]\nFormatVersion=1\n";
        writeFile(file, old);
        Plan plan { QString(), PlanFile::firstStartInputs(), {} };

        // Files may not grow past 200 bytes: the plan's text is longer. Root passes any folder's
        // permissions, not this.
        struct rlimit limit { };
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const struct rlimit small {
            200, limit.rlim_max
        };
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString message = refusal([&] { PlanFile::write(file, plan); });
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldHandler);

        QCOMPARE(message, QStringLiteral("Cannot save the plan \"%1\": File too large.").arg(file));
        QCOMPARE(fileContent(file), old);
        QCOMPARE(QDir(path("atomic")).entryList(QDir::Files | QDir::Hidden),
            QStringList { "kept.ferrowynd" });
    }

    void unwritableFolderIsToldWithTheSystemsReason()
    {
        const QString file = path("no such folder/plan.ferrowynd");
        QCOMPARE(refusal([&] {
            PlanFile::write(file, Plan { QString(), PlanFile::firstStartInputs(), {} });
        }),
            QStringLiteral("Cannot save the plan \"%1\": No such file or directory.").arg(file));
    }
};

QTEST_GUILESS_MAIN(TestPlanFile)
#include "tst_planfile.moc"
