// The clue lines: what the evidence of the whole analysis says about how a
// file was built (runtimes, packers, self-extractors, installers, plug-in
// kinds), one line per fact, always in the order of this table.
#include <array>

#include "executable/ExeAnalysis.h"

namespace quiddity {

namespace {

using ClueTest = bool (*)(const ExeClues&);

struct ClueLine {
    ClueTest holds;
    const char* line;
};

// A Total Commander plug-in kind needs more than this many of its names.
constexpr unsigned kWcxNamesAbove = 2;
constexpr unsigned kWdxNamesAbove = 1;
constexpr unsigned kWfxNamesAbove = 1;
constexpr unsigned kWlxNamesAbove = 1;

constexpr auto kClueLines = std::to_array<ClueLine>({
    {[](const ExeClues& c) { return c.mscoree; }, "CLR exe (.NET IL application)\r\n"},
    {[](const ExeClues& c) { return c.upx; }, "UPX packed exe\r\n"},
    {[](const ExeClues& c) { return c.rarSfx; }, "RAR self-extracting archive\r\n"},
    {[](const ExeClues& c) { return c.zipSfx; }, "ZIP self-extracting archive (32-bit)\r\n"},
    {[](const ExeClues& c) { return c.sevenZip; }, "7-ZIP self-extracting archive\r\n"},
    {[](const ExeClues& c) { return c.zlb && c.innoStub; }, "ZLB, InnoSetup\r\n"},
    {[](const ExeClues& c) { return c.zlb && !c.innoStub; }, "ZLB, (InnoSetup)\r\n"},
    {[](const ExeClues& c) { return !c.zlb && c.innoStub; }, "InnoSetup\r\n"},
    {[](const ExeClues& c) { return c.wextract; }, "Could be CAB (wextract) self-extracting archive\r\n"},
    {[](const ExeClues& c) { return c.lz32; }, "Could be CAB (LZ) self-extracting archive\r\n"},
    {[](const ExeClues& c) { return c.sfxExe; }, "Cabinet Manager self-extracting archive (sfx.exe)\r\n"},
    {[](const ExeClues& c) { return c.sfxpackExe; }, "Self-extracting archive (sfxpack.exe)\r\n"},
    {[](const ExeClues& c) { return c.neoLite; }, "NeoLite compressed exe\r\n"},
    {[](const ExeClues& c) { return c.petite; }, "Petite compressed exe\r\n"},
    {[](const ExeClues& c) { return c.wwpack32; }, "WWPack32 compressed exe\r\n"},
    {[](const ExeClues& c) { return c.vuAlbum; }, "VuAlbum compressed images, viewer app\r\n"},
    {[](const ExeClues& c) { return c.mfc40; }, "MFC 4.0 application\r\n"},
    {[](const ExeClues& c) { return c.mfc42; }, "MFC 4.2 application\r\n"},
    {[](const ExeClues& c) { return c.mfc70; }, "MFC 7.0 application\r\n"},
    {[](const ExeClues& c) { return c.mfc71; }, "MFC 7.1 application\r\n"},
    {[](const ExeClues& c) { return c.mfc80; }, "MFC 8.0 application\r\n"},
    {[](const ExeClues& c) { return c.msvcrt; }, "Visual C++ application\r\n"},
    // An MFC program names its MFC version; its C runtime adds nothing.
    {[](const ExeClues& c) { return c.msvcrt40 && !c.mfc42 && !c.mfc40; }, "Visual C++ 4 application\r\n"},
    {[](const ExeClues& c) { return c.msvcr70 && !c.mfc70; }, "Visual C++ 7 application\r\n"},
    {[](const ExeClues& c) { return c.msvcr71 && !c.mfc71; }, "Visual C++ 7.1 application\r\n"},
    {[](const ExeClues& c) { return c.msvbvm50; }, "Visual Basic 5 application\r\n"},
    {[](const ExeClues& c) { return c.msvbvm60; }, "Visual Basic 6 application\r\n"},
    {[](const ExeClues& c) { return c.crtdll; }, "C/C++ application\r\n"},
    {[](const ExeClues& c) { return c.vbrun100; }, "Visual Basic 1.0 application\r\n"},
    {[](const ExeClues& c) { return c.vbrun200; }, "Visual Basic 2.0 application\r\n"},
    {[](const ExeClues& c) { return c.vbrun300; }, "Visual Basic 3.0 application\r\n"},
    {[](const ExeClues& c) { return c.bc30rtl; }, "Borland C/C++ 3.0 application\r\n"},
    {[](const ExeClues& c) { return c.bc40rtl; }, "Borland C/C++ 4.0 application\r\n"},
    {[](const ExeClues& c) { return c.bc450rtl; }, "Borland C/C++ 4.5 application\r\n"},
    // The Borland dialog library alone, without a versioned runtime.
    {[](const ExeClues& c) { return c.bwcc && !c.bc30rtl && !c.bc40rtl && !c.bc450rtl; },
     "Borland C/C++ application\r\n"},
    {[](const ExeClues& c) { return c.premiereCompiler; }, "Adobe Premiere compiler plugin\n"},
    {[](const ExeClues& c) { return c.premiereFilter; }, "Adobe Premiere filter\n"},
    {[](const ExeClues& c) { return c.premiereImport; }, "Adobe Premiere import filter\n"},
    {[](const ExeClues& c) { return c.premierePlay; }, "Adobe Premiere play filter\n"},
    {[](const ExeClues& c) { return c.premiereRecord; }, "Adobe Premiere record filter\n"},
    {[](const ExeClues& c) { return c.premiereTransition; }, "Adobe Premiere transition effect\n"},
    {[](const ExeClues& c) { return c.photoshop; }, "Adobe Photoshop plugin\n"},
    {[](const ExeClues& c) { return c.genericPlugin; }, "Plugin (?)\n"},
    {[](const ExeClues& c) { return c.acd2; }, "ACD2 plugin\n"},
    {[](const ExeClues& c) { return c.acd; }, "ACD plugin\n"},
    {[](const ExeClues& c) { return c.winamp; }, "Winamp plugin\n"},
    {[](const ExeClues& c) { return c.isapiVersion && c.isapiProc; }, "ISAPI Web Application\n"},
    {[](const ExeClues& c) { return c.comServer; }, "OLE/COM/ActiveX object\n"},
    {[](const ExeClues& c) { return c.controlPanel; }, "Control Panel applet\n"},
    {[](const ExeClues& c) { return c.acmCodec; }, "ACM codec\n"},
    {[](const ExeClues& c) { return c.nsis; }, "NSIS Nullsoft Installer\n"},
    {[](const ExeClues& c) { return c.installShield; }, "InstallShield\n"},
    {[](const ExeClues& c) { return c.wise; }, "Wise Installer\n"},
    {[](const ExeClues& c) { return c.dosZipSfx; }, "PKZIP self-extracting\n"},
    {[](const ExeClues& c) { return c.dosArjSfx; }, "ARJ (DOS) self-extracting\n"},
    {[](const ExeClues& c) { return c.stuffit; }, "Stuffit self-extracting\n"},
    {[](const ExeClues& c) { return c.gzip; }, "Zlib packed data (self-extracting?)\n"},
    {[](const ExeClues& c) { return c.arjData; }, "ARJ packed data (self-extracting?)\n"},
    {[](const ExeClues& c) { return c.cab; }, "CAB (Microsoft) compressed data (self-extracting?)\n"},
    {[](const ExeClues& c) { return c.exe2perl; }, "Exe2Perl Compiled Perl Script\n"},
    {[](const ExeClues& c) { return c.lzexe; }, "LZEXE compressed exe (DOS)\n"},
    {[](const ExeClues& c) { return c.uharc; }, "UHArc archive\n"},
    {[](const ExeClues& c) { return c.virtualDub; }, "VirtualDub filter plugin\n"},
    {[](const ExeClues& c) { return c.peid; }, "PEiD plugin\n"},
    {[](const ExeClues& c) { return c.wcx > kWcxNamesAbove; }, "TotalCommander WCX packer plugin\n"},
    {[](const ExeClues& c) { return c.wdx > kWdxNamesAbove; }, "TotalCommander WDX content plugin\n"},
    {[](const ExeClues& c) { return c.wfx > kWfxNamesAbove; }, "TotalCommander WFX file system plugin\n"},
    {[](const ExeClues& c) { return c.wlx > kWlxNamesAbove; }, "TotalCommander WLX lister plugin\n"},
});

}  // namespace

void WriteClueLines(ExeAnalysis& exe) {
    for (const ClueLine& row : kClueLines)
        if (row.holds(exe.clues)) exe.clueText += row.line;
}

}  // namespace quiddity
