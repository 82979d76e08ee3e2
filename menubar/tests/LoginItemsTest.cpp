// Start at login on the desktop's autostart entries, in a private XDG_CONFIG_HOME: the rules
// for turning it on and off against entries already there, what counts as an entry for this
// program, that what is written is a valid desktop entry, and that the client applies the
// stored choice as it starts.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "app/VTAppWiring.h"
#include "app/VTHeadlessMenuHandler.h"
#include "app/VTPrefsController.h"
#include "app/VTUtils.h"
#include "platform/VTAutostartFolder.h"
#include "platform/VTDesktopEntry.h"
#include "platform/VTUserDefaults.h"
#include "tests/TestSupport.h"

namespace {

class LoginItemsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VTUtils::setUserDefaults(&defaults_);
        QDir().mkpath(config_.autostart());
    }
    void TearDown() override { VTUtils::setUserDefaults(nullptr); }

    // This test program, as the client sees itself.
    static QString client() {
        return QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    }
    // An executable file at path (under the test's folder), made with its folders.
    QString program(const QString& relative) const {
        const QString path = programs_.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\n");
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return QFileInfo(path).canonicalFilePath();
    }
    void entry(const QString& name, const QString& body) const {
        QFile file(config_.autostart() + "/" + name);
        file.open(QIODevice::WriteOnly);
        file.write(body.toUtf8());
    }
    void entryFor(const QString& name, const QString& exec, const QString& extra = {}) const {
        entry(name, "[Desktop Entry]\nType=Application\nName=X\nExec=" + exec + "\n" + extra);
    }
    // What the user's autostart folder starts, as "file -> program" in file order.
    static QStringList listing(const VTAutostartFolder& folder = VTAutostartFolder::user()) {
        QStringList out;
        const auto entries = folder.entries();
        for (const VTAutostartFolder::Entry& entry : entries.value()) {
            out << QFileInfo(entry.file).fileName() + " -> " + entry.program;
        }
        return out;
    }
    static QStringList files(const QString& folder) {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }
    static QString clientName() { return QFileInfo(client()).fileName(); }

    vttest::ConfigFolder config_;
    QTemporaryDir programs_;
    QTemporaryDir settings_;
    VTUserDefaults defaults_{settings_.filePath("defaults.ini")};
    VTPrefsController prefs_;
};

TEST_F(LoginItemsTest, TurningOnAndOffFollowsTheRulesForEntriesAlreadyThere) {
    const QString name = clientName();
    const QString elsewhere = program("elsewhere/" + name);
    const QString shouted = program("shouted/" + name.toUpper());
    const QString other = program("bin/other-program");
    const QString mine = name + ".desktop";
    struct Case {
        const char* what;
        std::function<void()> given;
        std::vector<bool> turns;  // setLaunchOnLogin, in order
        QStringList files;        // what the folder holds afterwards
        QStringList starts;       // the entries that start a program
    };
    const Case cases[] = {
        {"on: the client's name at another path is replaced by this program",
         [&] { entryFor("old.desktop", elsewhere); },
         {true},
         {mine},
         {mine + " -> " + client()}},
        {"on twice adds one entry", [] {}, {true, true}, {mine}, {mine + " -> " + client()}},
        {"on keeps an entry for this very program as it is",
         [&] { entryFor("kept.desktop", client()); },
         {true},
         {"kept.desktop"},
         {"kept.desktop -> " + client()}},
        {"off removes every entry of the name, whatever its case, and nothing else",
         [&] {
             entryFor("a.desktop", elsewhere);
             entryFor("b.desktop", shouted);
             entryFor("c.desktop", client());
             entryFor("d.desktop", other);
             // A program that does not exist is neither matched nor removed.
             entryFor("e.desktop", "/no/such/folder/" + name);
         },
         {false},
         {"d.desktop", "e.desktop"},
         {"d.desktop -> " + other}},
        {"an entry switched off does not count and stays; on adds one beside it",
         [&] { entryFor(mine, client(), "Hidden=true\n"); },
         {true},
         {name + "-2.desktop", mine},
         {name + "-2.desktop -> " + client()}},
        {"off with no autostart folder at all changes nothing",
         [&] { QDir(config_.autostart()).removeRecursively(); },
         {false},
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(config_.autostart()).removeRecursively();
        QDir().mkpath(config_.autostart());
        c.given();
        for (const bool on : c.turns) {
            prefs_.setLaunchOnLogin(on);
        }
        EXPECT_EQ(files(config_.autostart()).join(' ').toStdString(),
                  c.files.join(' ').toStdString());
        EXPECT_EQ(listing().join('\n').toStdString(), c.starts.join('\n').toStdString());
    }
    // The all-users list is never touched by the client's own choice.
    EXPECT_TRUE(files(config_.machineAutostart()).isEmpty());
}

TEST_F(LoginItemsTest, OnlyEntriesThatStartAnExistingProgramCount) {
    const QString name = clientName();
    const QString named = program("bin/" + name);
    const QString spaced = program("with space/" + name);
    const QString percent = program("100%/" + name);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFileInfo(named).path().toUtf8() + ":" + path);
    entryFor("path.desktop", name + " --flag %U");
    entryFor("quoted.desktop", "\"" + spaced + "\" --minimized");
    entryFor("percent.desktop", "\"" + QString(percent).replace("%", "%%") + "\"");
    entryFor("gnome-off.desktop", named, "X-GNOME-Autostart-enabled=false\n");
    entryFor("env.desktop", "env A=1 " + named);  // starts env, not the client
    entryFor("relative.desktop", "bin/" + name);
    entryFor("unterminated.desktop", "\"" + spaced);
    entryFor("not-desktop.txt", named);
    entry("link.desktop", "[Desktop Entry]\nType=Link\nURL=" + named + "\n");
    entry("no-group.desktop", "Type=Application\nExec=" + named + "\n");
    entry("other-group.desktop", "[Desktop Action x]\nType=Application\nExec=" + named + "\n");
    entry("garbage.desktop", QString::fromLatin1(QByteArray(4000, '\xff')));
    QString huge = "[Desktop Entry]\nType=Application\nExec=" + named + "\n";
    huge += QString(VTAutostartFolder::kMaxEntryBytes, '#');
    entry("huge.desktop", huge);
    ASSERT_EQ(mkfifo(QFile::encodeName(config_.autostart() + "/fifo.desktop").constData(), 0600),
              0);
    // "env" starts a program of its own name: an entry, but not the client's.
    const QString env = QFileInfo(QStandardPaths::findExecutable("env")).canonicalFilePath();
    EXPECT_EQ(listing().join('\n').toStdString(),
              QStringList({"env.desktop -> " + env, "path.desktop -> " + named,
                           "percent.desktop -> " + percent, "quoted.desktop -> " + spaced})
                  .join('\n')
                  .toStdString());
    // The program's name decides, not the entry's.
    EXPECT_TRUE(VTUtils::appAlreadyInLoginItems(false, false));
    EXPECT_FALSE(VTUtils::appAlreadyInLoginItems(true, false));
    qputenv("PATH", path);
}

TEST_F(LoginItemsTest, WrittenEntriesAreValidAndNameTheirProgramExactly) {
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate (desktop-file-utils) is missing";
    const VTAutostartFolder folder(config_.path() + "/written");
    const QStringList programs = {
        client(),
        program("plain/VaultorMenuBar"),
        program("a b/$HOME \"quoted\" `tick` back\\slash 50%/VaultorMenuBar"),
        program("semi;colon & (paren) <>~|*?#'/VaultorMenuBar"),
    };
    for (const QString& path : programs) {
        SCOPED_TRACE(path.toStdString());
        const auto written = folder.add(path, "Vaultor Menu Bar", "Shows the backups");
        ASSERT_TRUE(written.has_value());
        QProcess validate;
        validate.start(validator, {*written});
        ASSERT_TRUE(validate.waitForFinished(30000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString();
        const auto entries = folder.entries().value();
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&](const auto& e) { return e.file == *written; });
        ASSERT_NE(found, entries.end());
        EXPECT_EQ(found->program, path);
    }
    // Four entries in four files, none overwritten.
    EXPECT_EQ(files(folder.folder()).size(), 4);
}

TEST_F(LoginItemsTest, TheClientAppliesTheStoredChoiceAtStartWithoutThePreferencesWindow) {
    VTHeadlessMenuHandler menu;
    const auto start = [&menu] {
        QObject owner;
        VTAppWiring::Options options;
        options.connectionArguments = QStringList{"VaultorMenuBar"};
        options.retryIntervalMs = 100000;
        options.menuHandler = &menu;
        VTPrefsController prefs;
        options.prefsController = &prefs;
        VTAppWiring::build(&owner, options);
    };
    vttest::EndpointFolder endpoint;
    // "LaunchOnLogin" is on unless the user turned it off.
    start();
    EXPECT_EQ(listing(), QStringList{clientName() + ".desktop -> " + client()});
    defaults_.setObject("NO", "LaunchOnLogin");
    start();
    EXPECT_TRUE(listing().isEmpty());
}

}  // namespace
