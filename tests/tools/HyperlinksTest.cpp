// Link targets: what may be handed to the desktop and what never leaves the editor (programs,
// launchers, scripts, unknown schemes, shell text), the cut of long targets and the hint.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "document/RVData.h"
#include "document/RVStyle.h"
#include "platform/Shell.h"
#include "support/TempDir.h"
#include "tools/Hyperlinks.h"

namespace xq::test {
namespace {

namespace fs = std::filesystem;

/// Records what it was handed; opens nothing.
class TRecordingShell : public TDesktopShell {
public:
    bool OpenUrl(const std::string& url) override
    {
        Opened.push_back(url);
        return true;
    }
    std::vector<std::string> Opened;
};

class LinkTargetsTest : public ::testing::Test {
protected:
    LinkTargetsTest()
    {
        Marker = Dir / "marker";
        // A script that would leave the marker behind if anything ran it.
        const std::string script = "#!/bin/sh\ntouch '" + Marker.string() + "'\n";
        WriteBytes(Dir / "run.sh", script);
        WriteBytes(Dir / "tool", script);
        fs::permissions(Dir / "run.sh", fs::perms::owner_all);
        fs::permissions(Dir / "tool", fs::perms::owner_all);
        // A launcher, not even executable.
        WriteBytes(Dir / "start.desktop",
                   "[Desktop Entry]\nType=Application\nName=x\nExec=touch " + Marker.string() + "\n");
        fs::permissions(Dir / "start.desktop", fs::perms::owner_read | fs::perms::owner_write);
        // A script without execute permission that a desktop would still hand to a shell.
        WriteBytes(Dir / "plain.sh", script);
        fs::permissions(Dir / "plain.sh", fs::perms::owner_read | fs::perms::owner_write);
        // Programs by their content only, under harmless names and without execute permission.
        WriteBytes(Dir / "skript.txt", script);
        WriteBytes(Dir / "programm.pdf", std::string("\x7F" "ELF\x02\x01\x01", 7));
        WriteBytes(Dir / "setup.doc", std::string("MZ\x90\x00\x03\x00", 6));
        for (const char* name : {"skript.txt", "programm.pdf", "setup.doc"})
            fs::permissions(Dir / name, fs::perms::owner_read | fs::perms::owner_write);
        WriteBytes(Dir / "Brief an Müller.txt", "Sehr geehrte");
        WriteBytes(Dir / "MZ.txt", "MZ-Abteilung: Bericht");
        fs::permissions(Dir / "MZ.txt", fs::perms::owner_read | fs::perms::owner_write);
        fs::permissions(Dir / "Brief an Müller.txt", fs::perms::owner_read | fs::perms::owner_write);
        fs::create_directory(Dir / "ordner");
        fs::create_symlink(Dir / "run.sh", Dir / "harmlos.txt");
        fs::create_symlink(Dir / "start.desktop", Dir / "link.txt");
    }
    bool Open(const std::string& target) { return OpenHyperlinkTarget(target, Shell, Dir.Path()); }

    TTempDir Dir;
    fs::path Marker;
    TRecordingShell Shell;
};

TEST_F(LinkTargetsTest, ProgramsLaunchersScriptsAndUnknownSchemesAreNeverHandedOn)
{
    const std::string dir = Dir.Path().string();
    const std::vector<std::string> refused{
        "javascript:alert(1)",
        "JavaScript:void(0)",
        "vbscript:msgbox",
        "data:text/html,<script>alert(1)</script>",
        "file://" + dir + "/run.sh",
        "file://" + dir + "/tool",
        "file://" + dir + "/start.desktop",
        "file://" + dir + "/plain.sh",
        "skript.txt",
        "programm.pdf",
        "setup.doc",
        "file://" + dir + "/harmlos.txt", // a link to the executable script
        "file://" + dir + "/link.txt",    // a link to the launcher
        "file://" + dir + "/ordner",
        "file://" + dir + "/fehlt.txt",
        "file://otherhost" + dir + "/Brief%20an%20M%C3%BCller.txt",
        "file://" + dir + "/Brief%2",
        dir + "/run.sh",
        dir + "/start.desktop",
        "run.sh",
        "start.desktop",
        "tool",
        "; touch " + Marker.string(),
        "$(touch " + Marker.string() + ")",
        "`touch " + Marker.string() + "`",
        "Brief an Müller.txt; touch " + Marker.string(),
        "sh -c 'touch " + Marker.string() + "'",
        "http:///pfad",
        "http:",
        "https:/kein-host.de",
        "mailto:",
        "C:\\Programme\\start.exe",
        "\\\\server\\freigabe\\datei.doc",
        "https://example.com/\nzweite Zeile",
        "",
        "smb://server/freigabe",
        "shell:startup",
    };
    for (const std::string& target : refused) {
        EXPECT_EQ(ClassifyLinkTarget(target, Dir.Path()).Kind, TLinkTargetKind::Refused) << target;
        EXPECT_FALSE(Open(target)) << target;
    }
    EXPECT_TRUE(Shell.Opened.empty());
    EXPECT_FALSE(fs::exists(Marker)) << "nothing ran";
}

TEST_F(LinkTargetsTest, AddressesGoOnUnchangedAndDocumentsAsFileUrls)
{
    for (const std::string target : {"https://www.example.com/pfad?a=1&b=$(x)", "http://intranet/seite",
                                     "ftp://ftp.example.org/datei.zip", "mailto:info@example.de?subject=Hallo",
                                     "HTTPS://EXAMPLE.COM"}) {
        Shell.Opened.clear();
        EXPECT_TRUE(Open(target)) << target;
        EXPECT_EQ(Shell.Opened, std::vector<std::string>{target});
    }
    // A text that happens to start like a Windows program is still a text.
    EXPECT_EQ(ClassifyLinkTarget("MZ.txt", Dir.Path()).Kind, TLinkTargetKind::Document);
    // Typed as browsers take it.
    Shell.Opened.clear();
    EXPECT_TRUE(Open("www.example.de"));
    EXPECT_EQ(Shell.Opened, std::vector<std::string>{"http://www.example.de"});

    // A document, by a relative path, an absolute one and a file URL: always its full path, escaped.
    const std::string url = "file://" + Dir.Path().string() + "/Brief%20an%20M%C3%BCller.txt";
    for (const std::string& target :
         {std::string("Brief an Müller.txt"), (Dir / "Brief an Müller.txt").string(),
          "file://" + Dir.Path().string() + "/Brief%20an%20M%C3%BCller.txt",
          "file://localhost" + Dir.Path().string() + "/Brief an Müller.txt"}) {
        const TLinkTarget link = ClassifyLinkTarget(target, Dir.Path());
        EXPECT_EQ(link.Kind, TLinkTargetKind::Document) << target;
        EXPECT_EQ(link.Url, url) << target;
    }
    EXPECT_FALSE(fs::exists(Marker));
}

TEST(Hyperlinks, LongTargetsAndHintsAreCutAtWholeCharacters)
{
    EXPECT_EQ(CutHyperlinkTarget(std::string(300, 'a')), std::string(255, 'a'));
    EXPECT_EQ(CutHyperlinkTarget("kurz"), "kurz");
    std::string umlauts;
    for (int i = 0; i < 300; ++i)
        umlauts += "ü";
    const std::string cut = CutHyperlinkTarget(umlauts);
    EXPECT_EQ(cut.size(), 510u) << "255 characters of two bytes";
    EXPECT_EQ(cut, umlauts.substr(0, 510));

    EXPECT_EQ(HyperlinkHint("https://a.de"), "Strg + klick um URL https://a.de auszuführen");
    const std::string hint = HyperlinkHint(std::string(300, 'x'));
    EXPECT_EQ(hint, "Strg + klick um URL " + std::string(235, 'x')) << "255 characters in all";
}

} // namespace
} // namespace xq::test
