// The client program itself: its command line, and what it does without a display.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/ClientProcess.h"
#include "tests/SimulatorProcess.h"

using namespace vttest;

namespace {

void writeEndpointFile(const QString& dataHome, const QByteArray& content) {
    QDir().mkpath(dataHome + "/Vaultor");
    QFile file(dataHome + "/Vaultor/.ui_info");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

TEST(ClientProcessTest, HostAndPortInBothFormsWinAndAnUnknownOptionIsOnlyWarnedAbout) {
    SimulatorProcess simulator({});
    const QByteArray port = QByteArray::number(simulator.waitUntilListening());
    ASSERT_NE(port, "0");
    QFile simulatorFile(simulator.dataHome() + "/Vaultor/.ui_info");
    ASSERT_TRUE(simulatorFile.open(QIODevice::ReadOnly));
    const QByteArray token = simulatorFile.readAll().split(',').value(1);

    struct Case {
        const char* name;
        QByteArray endpointFile;  // what the client finds; the command line corrects it
        QStringList arguments;
        bool warned;
    };
    const Case cases[] = {
        {"--port P", "1," + token + ",127.0.0.1", {"--port", port}, false},
        {"--hostname H",
         port + "," + token + ",nohost.invalid",
         {"--hostname", "127.0.0.1"},
         false},
        {"--port=P --hostname=H",
         "1," + token + ",nohost.invalid",
         {"--port=" + port, "--hostname=127.0.0.1"},
         false},
        {"an unknown option", port + "," + token + ",127.0.0.1", {"--frobnicate"}, true},
    };
    for (const Case& c : cases) {
        QTemporaryDir dataHome;
        writeEndpointFile(dataHome.path(), c.endpointFile);
        ClientProcess client(QStringList{"--headless"} + c.arguments,
                             ClientProcess::environmentWithDataHome(dataHome.path()));
        EXPECT_TRUE(client.waitForLine("** WE ARE CONNECTED **")) << c.name;
        const QStringList warnings = client.lines().filter("Unknown option");
        ASSERT_EQ(warnings.size(), c.warned ? 1 : 0) << c.name;
        if (c.warned) {
            EXPECT_TRUE(
                warnings[0].endsWith("Unknown option 'frobnicate'. The client goes on without it."))
                << warnings[0].toStdString();
        }
    }
}

TEST(ClientProcessTest, WithoutADisplayItSaysSoAndEndsWithStatusTwo) {
    const QString message = "no display; start with --headless, or set DISPLAY or WAYLAND_DISPLAY";
    struct Case {
        const char* name;
        const char* display;  // nullptr: none named
    };
    for (const Case& c : {Case{"none named", nullptr}, Case{"one that is not there", ":7391"}}) {
        QTemporaryDir dataHome;
        QProcessEnvironment environment = ClientProcess::environmentWithDataHome(dataHome.path());
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(name);
        }
        if (c.display) {
            environment.insert("DISPLAY", c.display);
        }
        ClientProcess client({}, environment);
        EXPECT_EQ(client.waitForExit(), 2) << c.name;
        const QStringList lines = client.lines();
        // Once as it is, once as a line of the client's log.
        EXPECT_EQ(lines.count(message), 1) << c.name << ": " << lines.join("\n").toStdString();
        EXPECT_EQ(
            lines.filter(QRegularExpression("\\] " + QRegularExpression::escape(message) + "$"))
                .size(),
            1)
            << c.name;
    }
}

}  // namespace
