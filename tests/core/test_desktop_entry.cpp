// Which program a desktop entry starts.
#include <gtest/gtest.h>

#include "support/core/DesktopEntry.h"

TEST(DesktopEntryProgram, FirstWordOfExecInTheEntryGroup) {
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nName=Viewer\nExec=xchm %f\n"), "xchm");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\r\nExec = /usr/bin/xchm\t%f\r\n"), "/usr/bin/xchm");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=viewer"), "viewer");
    EXPECT_EQ(desktopEntryProgram("  [Desktop Entry]\n  # Exec=commented\n  Exec=viewer --new\n"), "viewer");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\n#[Other]\n\nExec=viewer\n"), "viewer");
}

TEST(DesktopEntryProgram, OtherGroupsAndKeysDoNotCount) {
    // An action's Exec is not what the entry starts.
    EXPECT_EQ(desktopEntryProgram("[Desktop Action new]\nExec=other\n[Desktop Entry]\nExec=viewer %u\n"), "viewer");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=viewer\n[Desktop Action new]\nExec=other\n"), "viewer");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nTryExec=probe\nExecutable=x\nExec=viewer\n"), "viewer");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nName=No program\n"), "");
    EXPECT_EQ(desktopEntryProgram("[Other]\nExec=viewer\n"), "");
    EXPECT_EQ(desktopEntryProgram(""), "");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=\n"), "");
}

TEST(DesktopEntryProgram, QuotedProgramKeepsItsBlanks) {
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=\"/opt/My Viewer/run\" %f\n"), "/opt/My Viewer/run");
    // Inside quotes a backslash keeps the next character; the value's own
    // escapes are undone first, so "\\\\" in the file is one backslash.
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=\"/opt/a\\\\\"b/run\" %f\n"), "/opt/a\"b/run");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=\"/opt/a\\\\\\\\b\"\n"), "/opt/a\\b");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=\"/opt/unterminated\n"), "/opt/unterminated");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=\"/opt/ends\\"), "/opt/ends\\");
}

TEST(DesktopEntryProgram, ValueEscapes) {
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=\"/opt/My\\sViewer\" %f\n"), "/opt/My Viewer");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=/opt/a\\tb %f\n"), "/opt/a");
    EXPECT_EQ(desktopEntryProgram("[Desktop Entry]\nExec=/opt/viewer\\\n"), "/opt/viewer\\");
}

TEST(DesktopEntryCommand, FieldCodesBecomeTheFileItsUrlOrNothing) {
    const std::string path = "/home/a b/ヘルプ.chm";
    const std::string url = "file:///home/a%20b/%E3%83%98%E3%83%AB%E3%83%97.chm";
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"Exec=xchm %f", {"xchm", path}},
        {"Exec=viewer %U", {"viewer", url}},
        {"Exec=\"/opt/My Viewer/run\" --new %i %c %k %F", {"/opt/My Viewer/run", "--new", path}},
        {"Exec=viewer --zoom=100%% --name=%c", {"viewer", "--zoom=100%", "--name="}},
        {"Exec=viewer", {"viewer"}},
        {"Name=no program", {}},
    };
    for (const auto& [exec, expected] : cases)
        EXPECT_EQ(desktopEntryCommand(std::string("[Desktop Entry]\n") + exec + "\n", path), expected) << exec;
}
