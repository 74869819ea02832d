// The clue lines: one fixed order whatever order the evidence came in, and
// the lines whose conditions weigh one clue against another.
#include <gtest/gtest.h>

#include "ExeCraft.h"

using namespace quiddity;
using namespace quiddity::test;

namespace {

std::string CluesOf(void (*set)(ExeClues&)) {
    ExeAnalysis exe;
    set(exe.clues);
    WriteClueLines(exe);
    return exe.clueText;
}

}  // namespace

TEST(ExeClueLines, OneFixedOrderFromRuntimesToPluginKinds) {
    // Evidence from every stage of the analysis, set in no particular order.
    EXPECT_EQ(CluesOf([](ExeClues& c) {
                  c.wlx = 2;
                  c.lzexe = true;
                  c.premiereFilter = true;
                  c.bc450rtl = true;
                  c.bwcc = true;
                  c.msvcrt = true;
                  c.mfc71 = true;
                  c.msvcr71 = true;
                  c.vuAlbum = true;
                  c.wextract = true;
                  c.zlb = true;
                  c.upx = true;
                  c.mscoree = true;
                  c.nsis = true;
                  c.isapiVersion = true;
                  c.isapiProc = true;
                  c.genericPlugin = true;
                  c.dosZipSfx = true;
                  c.uharc = true;
                  c.peid = true;
              }),
              "CLR exe (.NET IL application)\r\n"
              "UPX packed exe\r\n"
              "ZLB, (InnoSetup)\r\n"
              "Could be CAB (wextract) self-extracting archive\r\n"
              "VuAlbum compressed images, viewer app\r\n"
              "MFC 7.1 application\r\n"
              "Visual C++ application\r\n"
              "Borland C/C++ 4.5 application\r\n"
              "Adobe Premiere filter\n"
              "Plugin (?)\n"
              "ISAPI Web Application\n"
              "NSIS Nullsoft Installer\n"
              "PKZIP self-extracting\n"
              "LZEXE compressed exe (DOS)\n"
              "UHArc archive\n"
              "PEiD plugin\n"
              "TotalCommander WLX lister plugin\n");
}

TEST(ExeClueLines, CluesWeighedAgainstEachOther) {
    // The Inno Setup line in its three forms.
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.zlb = c.innoStub = true; }), "ZLB, InnoSetup\r\n");
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.innoStub = true; }), "InnoSetup\r\n");
    // A C runtime adds no line beside the MFC library of its version.
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.msvcrt40 = c.mfc42 = true; }), "MFC 4.2 application\r\n");
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.msvcrt40 = c.mfc71 = true; }),
              "MFC 7.1 application\r\nVisual C++ 4 application\r\n");
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.msvcr70 = true; }), "Visual C++ 7 application\r\n");
    // Borland's dialog library names the compiler only without a versioned runtime.
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.bwcc = true; }), "Borland C/C++ application\r\n");
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.bwcc = c.bc30rtl = true; }), "Borland C/C++ 3.0 application\r\n");
    // One half of an ISAPI extension is none.
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.isapiProc = true; }), "");
    // Total Commander kinds: WCX needs three names, the others two.
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.wcx = 2; c.wdx = c.wfx = c.wlx = 1; }), "");
    EXPECT_EQ(CluesOf([](ExeClues& c) { c.wcx = 3; c.wdx = c.wfx = 2; }),
              "TotalCommander WCX packer plugin\nTotalCommander WDX content plugin\n"
              "TotalCommander WFX file system plugin\n");
}

TEST(ExeClueLines, EntryPointLinesComeFirst) {
    std::vector<std::uint8_t> b = CraftTwoSectionPe();
    PutText(b, 0x200, std::string_view("\xE8\x00\x00\x00\x00\x5B\x83", 7));  // PE-CRYPT's start
    PutText(b, 0x800, std::string_view("xx7z\0\0\0\0\0\0\0\0\0\0\0\0", 16));  // a 7-Zip mark in the rest
    EXPECT_EQ(Report(b).clueText, "PE-CRYPT (?)\n7-ZIP self-extracting archive\r\n");
}
