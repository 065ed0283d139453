#pragma once

#include "app/settingsstore.h"
#include "entry/form1.h"
#include "scripteddialogs.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// What the main window tests share: a settings store of their own for every test, the U.S.
// regional setting, and a loaded, shown and active window.
namespace Form1Fixture {

// Before the first settings use: the store and the temporary files go to private folders.
inline void setUpProcess(QTemporaryDir& home)
{
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qputenv("HOME", home.path().toUtf8());
    qputenv("TEMP", home.filePath("temp").toUtf8());
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

// A fresh, empty store for one test; what was written before goes to the store it was meant for.
inline void useStoreIn(const QString& folder)
{
    SettingsStore::flush();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

inline QString stored(const QString& key)
{
    return SettingsStore::read(key);
}

// On disk, once everything written is there.
inline bool hasKey(const QString& key)
{
    SettingsStore::flush();
    QSettings settings(SettingsStore::fileName(), QSettings::IniFormat);
    return settings.contains(QStringLiteral("Ferrowynd/") + key);
}

// Lets the queued selections and refusals run.
inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

inline std::unique_ptr<Form1> shownForm(Form1::StartUpHooks hooks = {})
{
    auto form = std::make_unique<Form1>(std::move(hooks));
    if (!form->Form_Load())
        return form;
    form->show();
    QApplication::setActiveWindow(form.get());
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("the main window did not become active");
    settle();
    return form;
}

inline void type(QWidget* widget, const QString& text)
{
    QTest::keyClicks(widget, text);
}

} // namespace Form1Fixture
